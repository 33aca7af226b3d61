#include "rank/run/ElapsedTime.h"

#include "platform/TickCount.h"

#include <QTime>

namespace {

struct HourStyle {
    bool twelveHour = false;
    bool leadingZero = false;
};

// Reads the hour field and the AM/PM marker of a Qt time format, skipping quoted literals.
HourStyle hourStyleOf(const QString& format)
{
    HourStyle style;
    bool quoted = false;
    bool hourSeen = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if ((c == u'h' || c == u'H') && !hourSeen) {
            hourSeen = true;
            style.leadingZero = i + 1 < format.size() && format[i + 1] == c;
        } else if (c == u'a' || c == u'A') {
            style.twelveHour = true;
        }
    }
    return style;
}

HourStyle hourStyleOf(const QLocale& locale)
{
    HourStyle style = hourStyleOf(locale.timeFormat(QLocale::LongFormat));
    // The Russian regional settings of the desktop write the hours without a leading zero
    // ("H:mm:ss"); Qt's locale data pads them.
    if (locale.language() == QLocale::Russian)
        style.leadingZero = false;
    return style;
}

} // namespace

QString formatElapsed(std::uint32_t seconds, const QLocale& locale)
{
    const HourStyle style = hourStyleOf(locale);
    const QTime time = QTime(0, 0).addSecs(int(seconds % 86400));
    QString format = style.twelveHour ? QStringLiteral("h") : QStringLiteral("H");
    if (style.leadingZero)
        format += format;
    format += QStringLiteral(":mm:ss");
    if (style.twelveHour)
        format += QStringLiteral(" Ap");
    return locale.toString(time, format);
}

std::uint32_t elapsedSecondsSince(std::uint32_t startTick)
{
    return TickCount::since(startTick) / 1000;
}
