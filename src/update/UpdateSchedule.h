#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

// The automatic check's calendar: the date of the last complete download is kept as text in the
// user's short date format, and the check runs once seven days or more have passed.
namespace UpdateSchedule {

constexpr int kDaysBetweenChecks = 7;

QString formatDate(const QDate& date, const QLocale& locale = QLocale());
// Nothing when the text is no date in that format. A two-digit year is taken in the century
// that puts the date nearest to today.
std::optional<QDate> parseDate(const QString& text, const QDate& today, const QLocale& locale = QLocale());

// The stored caption as the start-up leaves it: unchanged when it reads as a date, else today.
QString settledCaption(const QString& caption, const QDate& today, const QLocale& locale = QLocale());
// Today minus the stored date is seven days or more; false for a caption that is no date.
bool checkDue(const QString& caption, const QDate& today, const QLocale& locale = QLocale());

} // namespace UpdateSchedule
