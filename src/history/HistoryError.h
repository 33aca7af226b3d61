#pragma once

#include <QString>
#include <stdexcept>

// Why the history could not be opened, read or written; the text is the program's own.
class HistoryError : public std::runtime_error {
public:
    explicit HistoryError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};
