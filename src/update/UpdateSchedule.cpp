#include "update/UpdateSchedule.h"

namespace UpdateSchedule {

QString formatDate(const QDate& date, const QLocale& locale)
{
    return locale.toString(date, QLocale::ShortFormat);
}

std::optional<QDate> parseDate(const QString& text, const QDate& today, const QLocale& locale)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QDate date = locale.toDate(text.trimmed(), format);
    if (!date.isValid())
        return std::nullopt;
    if (!format.contains(QLatin1String("yyyy")) && format.contains(QLatin1String("yy"))) {
        // Qt reads "yy" as 19yy.
        while (date.daysTo(today) > 50 * 365)
            date = date.addYears(100);
    }
    return date;
}

QString settledCaption(const QString& caption, const QDate& today, const QLocale& locale)
{
    if (caption.isEmpty() || !parseDate(caption, today, locale))
        return formatDate(today, locale);
    return caption;
}

bool checkDue(const QString& caption, const QDate& today, const QLocale& locale)
{
    const std::optional<QDate> last = parseDate(caption, today, locale);
    return last && last->daysTo(today) >= kDaysBetweenChecks;
}

} // namespace UpdateSchedule
