#pragma once

#include <QLocale>

// The program speaks Russian: the locale its dates and numbers are shown in. A system without a
// locale of its own (C or POSIX: a fresh Debian, a server, a container) gets Russian; any other
// system locale is kept, as its user chose it.
QLocale programLocale(const QLocale& system);

// Makes programLocale(QLocale::system()) the default locale of the running program, and keeps the
// C library's numbers in the C locale, whatever the system's.
void useProgramLocale();
