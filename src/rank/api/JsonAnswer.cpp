#include "rank/api/JsonAnswer.h"

#include "rank/api/ApiAnswer.h"

#include <QJsonDocument>
#include <QJsonParseError>
#include <QStringList>
#include <cmath>

std::optional<QJsonObject> JsonAnswer::object(const QByteArray& json, QString* problem)
{
    if (json.size() > kMaxAnswerBytes) {
        *problem = QStringLiteral("ответ длиннее %1 байт").arg(kMaxAnswerBytes);
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        *problem = QStringLiteral("не JSON-объект");
        return std::nullopt;
    }
    return document.object();
}

QJsonValue JsonAnswer::at(const QJsonObject& object, const QString& path)
{
    QJsonValue value = object;
    for (const QString& name : path.split(u'.')) {
        if (!value.isObject())
            return QJsonValue(QJsonValue::Undefined);
        value = value.toObject().value(name);
    }
    return value;
}

std::optional<qint64> JsonAnswer::integer(const QJsonValue& value)
{
    if (value.isDouble()) {
        const double number = value.toDouble();
        if (number < 0 || number > 9e15 || std::floor(number) != number)
            return std::nullopt;
        return qint64(number);
    }
    if (value.isString()) {
        const QString text = value.toString();
        if (text.isEmpty() || text.size() > 18)
            return std::nullopt;
        for (QChar c : text) {
            if (c < u'0' || c > u'9')
                return std::nullopt;
        }
        return text.toLongLong();
    }
    return std::nullopt;
}

QString JsonAnswer::shownText(const QString& text)
{
    QString shown;
    for (QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            shown += c;
    }
    return shown.size() > 200 ? shown.left(200) + QStringLiteral("…") : shown;
}
