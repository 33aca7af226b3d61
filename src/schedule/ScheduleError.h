#pragma once

#include <QString>
#include <stdexcept>

// Why a schedule could not be read, written or removed; the text is the program's own.
class ScheduleError : public std::runtime_error {
public:
    explicit ScheduleError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message)
    {
    }
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Input that cannot make a schedule: a time that does not exist, a project file that is not there,
// a path that cannot be put into a unit.
class ScheduleInputError : public ScheduleError {
public:
    using ScheduleError::ScheduleError;
};
