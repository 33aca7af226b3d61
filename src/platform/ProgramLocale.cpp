#include "platform/ProgramLocale.h"

QLocale programLocale(const QLocale& system)
{
    if (system.language() == QLocale::C)
        return QLocale(QLocale::Russian, QLocale::Russia);
    return system;
}

void useProgramLocale()
{
    QLocale::setDefault(programLocale(QLocale::system()));
}
