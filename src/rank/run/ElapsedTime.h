#pragma once

#include <QLocale>
#include <QString>
#include <cstdint>

// The elapsed time of a check shown as a time of day in the user's long time format: the hours
// as the locale writes them, ":mm:ss", and on a 12-hour clock a blank and the AM/PM marker.
// No time zone. A check of a day or more shows the remainder after whole days.
QString formatElapsed(std::uint32_t seconds, const QLocale& locale = QLocale());

// Whole seconds from a tick taken at the start until now, the difference taken as unsigned 32 bits.
std::uint32_t elapsedSecondsSince(std::uint32_t startTick);
