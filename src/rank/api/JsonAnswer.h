#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

// Reading the JSON of an answer within its bounds.
namespace JsonAnswer {

// The top object of an answer; nothing, with the reason in Russian, when there is none.
std::optional<QJsonObject> object(const QByteArray& json, QString* problem);

// The value at a path of names joined by "."; undefined when a step is missing.
QJsonValue at(const QJsonObject& object, const QString& path);

// A whole number written as a JSON number or as a string of digits (proto3's 64-bit form).
std::optional<qint64> integer(const QJsonValue& value);

// A text of the answer as it may be shown: control characters dropped, at most 200 characters.
QString shownText(const QString& text);

} // namespace JsonAnswer
