#include "platform/ProgramLocale.h"

#include <clocale>

QLocale programLocale(const QLocale& system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

void useProgramLocale()
{
    QLocale::setDefault(programLocale(QLocale::system()));
    // Qt took the C library's locale from the environment, so under ru_RU printf() would write
    // "0,7": the libraries that write our files (the workbook, SQLite) must write numbers as
    // numbers. What the user reads is formatted by QLocale above.
    std::setlocale(LC_NUMERIC, "C");
}
