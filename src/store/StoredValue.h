#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <variant>

// A value as it crosses a storage: text, integer, floating number or date-time.
// "Nothing" is an empty optional.
using StoredValue = std::variant<QString, qint64, double, QDateTime>;

// The value as text: an integer becomes its decimal digits, a date-time the user's short date
// (and long time when it has one).
QString printedForm(const StoredValue& value);

// Decodes a stored text: quoted text, else (if integerStep) an integer, else a floating number
// with a decimal point, else a date-time in the user's short format, else the text unchanged.
StoredValue decodeStoredText(const QString& text, bool integerStep);
