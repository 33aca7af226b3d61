#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

// A template with its one placeholder replaced by a value; the value's bytes are never read as a
// placeholder.
QByteArray fillPlaceholder(QByteArray text, const QByteArray& placeholder, const QByteArray& value);

// A template with every placeholder of the list replaced, the template read once from the start:
// no value, whatever it holds, is read as a placeholder.
QByteArray fillPlaceholders(
    const QByteArray& text, const QList<std::pair<QByteArray, QByteArray>>& placeholderValues);
