#include "history/HistoryText.h"

#include <QDate>

namespace {

bool readDigits(QByteArrayView text, qsizetype from, qsizetype count, int& value)
{
    value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

} // namespace

QString isoTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime fromIsoTime(const QString& text)
{
    QDateTime time = QDateTime::fromString(text, Qt::ISODateWithMs);
    return time.toUTC();
}

qint64 msecsOfIsoTime(QByteArrayView text)
{
    constexpr qint64 kJulianDayOfEpoch = 2440588;
    constexpr qint64 kDayMsecs = 24 * 3600 * 1000;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
    if (text.size() == 24 && text[4] == '-' && text[7] == '-' && text[10] == 'T' && text[13] == ':'
        && text[16] == ':' && text[19] == '.' && text[23] == 'Z' && readDigits(text, 0, 4, year)
        && readDigits(text, 5, 2, month) && readDigits(text, 8, 2, day) && readDigits(text, 11, 2, hour)
        && readDigits(text, 14, 2, minute) && readDigits(text, 17, 2, second) && readDigits(text, 20, 3, msec)
        && hour < 24 && minute < 60 && second < 60) {
        const QDate date(year, month, day);
        if (date.isValid())
            return (date.toJulianDay() - kJulianDayOfEpoch) * kDayMsecs
                + ((hour * 60 + minute) * 60 + second) * 1000 + msec;
    }
    return fromIsoTime(QString::fromUtf8(text)).toMSecsSinceEpoch();
}

QDateTime timeOfIsoText(QByteArrayView text)
{
    return QDateTime::fromMSecsSinceEpoch(msecsOfIsoTime(text), Qt::UTC);
}

QString TextPool::text(QByteArrayView bytes)
{
    const std::string_view key(bytes.data(), std::size_t(bytes.size()));
    const auto found = m_texts.find(key);
    if (found != m_texts.end())
        return found->second;
    const QString made = QString::fromUtf8(bytes);
    if (m_texts.size() < kMaxTexts)
        m_texts.emplace(std::string(key), made);
    return made;
}
