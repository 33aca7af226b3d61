#pragma once

#include <QString>
#include <stdexcept>

// A failure of a property store; what() holds the text in UTF-8.
class EPropertiesStore : public std::runtime_error {
public:
    explicit EPropertiesStore(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString message() const { return QString::fromStdString(what()); }
};
