#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>

// When the checks of one project run: never, every day, or every week on one day, at a time of
// the local clock.
struct CheckSchedule {
    enum class Kind { Off, Daily, Weekly };
    Kind kind = Kind::Off;
    QTime time; // hours and minutes
    int dayOfWeek = 1; // 1 Monday ... 7 Sunday, for Weekly

    bool operator==(const CheckSchedule&) const = default;

    // "off", "daily@07:30" or "weekly@mon@07:30" (the day as its first three English letters,
    // any case, or the whole name). Throws ScheduleError with the reason.
    static CheckSchedule parse(const QString& text);
    // The same form as parse() reads.
    QString code() const;
    // "каждый день в 07:30", "по понедельникам в 07:30", "не проверять".
    QString description() const;
    // The OnCalendar= value of a systemd timer: "*-*-* 07:30:00", "Mon *-*-* 07:30:00".
    QString onCalendar() const;
    // The five time fields of a crontab line: "30 7 * * *", "30 7 * * 1".
    QString cronFields() const;
    // The first run after the moment, in local time; invalid for Off.
    QDateTime nextRunAfter(const QDateTime& moment) const;
    // The days as the schedule dialog offers them, Monday first: "понедельник" ...
    static QStringList dayNames();
};
