#include "schedule/CheckSchedule.h"

#include "schedule/ScheduleError.h"

#include <QRegularExpression>
#include <array>

namespace {

// Every name a day of the week has here, Monday first.
struct Weekday {
    const char* code; // in a schedule's code: "weekly@mon@07:30"
    const char* englishName; // also taken by --schedule
    const char* calendar; // in a timer's OnCalendar=
    const char* everyWeek; // "по понедельникам", the plural dative
    const char* shown; // in the schedule dialog
};

constexpr std::array<Weekday, 7> kWeekdays { {
    { "mon", "monday", "Mon", "по понедельникам", "понедельник" },
    { "tue", "tuesday", "Tue", "по вторникам", "вторник" },
    { "wed", "wednesday", "Wed", "по средам", "среда" },
    { "thu", "thursday", "Thu", "по четвергам", "четверг" },
    { "fri", "friday", "Fri", "по пятницам", "пятница" },
    { "sat", "saturday", "Sat", "по субботам", "суббота" },
    { "sun", "sunday", "Sun", "по воскресеньям", "воскресенье" },
} };

QTime parseTime(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2}):(\\d{2})$"));
    const auto match = form.match(text);
    if (!match.hasMatch())
        throw ScheduleInputError(QStringLiteral("время \"%1\" записано не в виде ЧЧ:ММ").arg(text));
    const int hours = match.captured(1).toInt();
    const int minutes = match.captured(2).toInt();
    if (hours > 23 || minutes > 59)
        throw ScheduleInputError(QStringLiteral("времени %1 не бывает").arg(text));
    return QTime(hours, minutes);
}

int parseDay(const QString& text)
{
    const QString lower = text.toLower();
    for (int day = 0; day < 7; ++day) {
        if (lower == QLatin1String(kWeekdays[day].code) || lower == QLatin1String(kWeekdays[day].englishName))
            return day + 1;
    }
    throw ScheduleInputError(
        QStringLiteral("\"%1\" — не день недели (mon, tue, wed, thu, fri, sat, sun)").arg(text));
}

} // namespace

CheckSchedule CheckSchedule::parse(const QString& text)
{
    const QStringList parts = text.split(u'@');
    CheckSchedule schedule;
    if (parts.size() == 1 && parts[0] == QLatin1String("off"))
        return schedule;
    if (parts.size() == 2 && parts[0] == QLatin1String("daily")) {
        schedule.kind = Kind::Daily;
        schedule.time = parseTime(parts[1]);
        return schedule;
    }
    if (parts.size() == 3 && parts[0] == QLatin1String("weekly")) {
        schedule.kind = Kind::Weekly;
        schedule.dayOfWeek = parseDay(parts[1]);
        schedule.time = parseTime(parts[2]);
        return schedule;
    }
    throw ScheduleInputError(
        QStringLiteral("\"%1\" — не расписание: нужно daily@ЧЧ:ММ, weekly@ДЕНЬ@ЧЧ:ММ или off").arg(text));
}

QString CheckSchedule::code() const
{
    const QString time = this->time.toString(QStringLiteral("HH:mm"));
    switch (kind) {
    case Kind::Off:
        break;
    case Kind::Daily:
        return QStringLiteral("daily@") + time;
    case Kind::Weekly:
        return QStringLiteral("weekly@%1@%2").arg(QLatin1String(kWeekdays[dayOfWeek - 1].code), time);
    }
    return QStringLiteral("off");
}

QString CheckSchedule::description() const
{
    const QString time = this->time.toString(QStringLiteral("HH:mm"));
    switch (kind) {
    case Kind::Off:
        break;
    case Kind::Daily:
        return QStringLiteral("каждый день в ") + time;
    case Kind::Weekly:
        return QStringLiteral("%1 в %2").arg(QString::fromUtf8(kWeekdays[dayOfWeek - 1].everyWeek), time);
    }
    return QStringLiteral("не проверять");
}

QString CheckSchedule::onCalendar() const
{
    const QString time = this->time.toString(QStringLiteral("HH:mm")) + QStringLiteral(":00");
    if (kind == Kind::Weekly)
        return QStringLiteral("%1 *-*-* %2").arg(QLatin1String(kWeekdays[dayOfWeek - 1].calendar), time);
    return QStringLiteral("*-*-* ") + time;
}

QString CheckSchedule::cronFields() const
{
    // cron counts Sunday as 0.
    const QString day = kind == Kind::Weekly ? QString::number(dayOfWeek % 7) : QStringLiteral("*");
    return QStringLiteral("%1 %2 * * %3").arg(time.minute()).arg(time.hour()).arg(day);
}

QDateTime CheckSchedule::nextRunAfter(const QDateTime& moment) const
{
    if (kind == Kind::Off)
        return {};
    const QDateTime local = moment.toLocalTime();
    QDate date = local.date();
    for (int days = 0; days <= 8; ++days, date = date.addDays(1)) {
        if (kind == Kind::Weekly && date.dayOfWeek() != dayOfWeek)
            continue;
        // A time skipped by a clock change runs at the next valid moment.
        const QDateTime run(date, time, Qt::LocalTime);
        if (run > local)
            return run;
    }
    return {};
}

QStringList CheckSchedule::dayNames()
{
    QStringList names;
    for (const Weekday& day : kWeekdays)
        names << QString::fromUtf8(day.shown);
    return names;
}
