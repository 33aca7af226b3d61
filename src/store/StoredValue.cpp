#include "store/StoredValue.h"

#include <QLocale>
#include <QRegularExpression>

namespace {

std::optional<QDateTime> regionalDateTime(const QString& text)
{
    const QLocale locale = QLocale::system();
    QDateTime dateTime = locale.toDateTime(text, QLocale::ShortFormat);
    if (dateTime.isValid())
        return dateTime;
    const QDate date = locale.toDate(text, QLocale::ShortFormat);
    if (date.isValid())
        return QDateTime(date, QTime(0, 0));
    const QTime time = locale.toTime(text, QLocale::ShortFormat);
    if (time.isValid())
        return QDateTime(QDate(1899, 12, 30), time);
    return std::nullopt;
}

QString longTimeWithoutZone(const QTime& time)
{
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(u't');
    return time.toString(format.trimmed());
}

} // namespace

QString printedForm(const StoredValue& value)
{
    if (const auto* text = std::get_if<QString>(&value))
        return *text;
    if (const auto* number = std::get_if<qint64>(&value))
        return QString::number(*number);
    if (const auto* number = std::get_if<double>(&value))
        return QString::number(*number, 'g', 15);
    const QDateTime& dateTime = std::get<QDateTime>(value);
    QString printed = QLocale::system().toString(dateTime.date(), QLocale::ShortFormat);
    if (dateTime.time() != QTime(0, 0))
        printed += u' ' + longTimeWithoutZone(dateTime.time());
    return printed;
}

StoredValue decodeStoredText(const QString& text, bool integerStep)
{
    if (text.size() >= 2 && text.startsWith(u'"') && text.endsWith(u'"'))
        return text.mid(1, text.size() - 2);
    bool ok = false;
    if (integerStep) {
        const int number = text.toInt(&ok);
        if (ok)
            return qint64(number);
    }
    static const QRegularExpression decimal(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?$)"));
    if (decimal.match(text).hasMatch()) {
        const double number = text.toDouble(&ok);
        if (ok)
            return number;
    }
    if (auto dateTime = regionalDateTime(text))
        return *dateTime;
    return text;
}
