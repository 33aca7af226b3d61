#include "history/MachineIdentity.h"

#include <QSysInfo>
#include <QUuid>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr qsizetype kMaxNameLength = 255;

} // namespace

QString machineHostName()
{
    return QSysInfo::machineHostName().left(kMaxNameLength);
}

QString machineUserName()
{
    // The account the check runs as, whatever $USER says.
    if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name).left(kMaxNameLength);
    return qEnvironmentVariable("USER").left(kMaxNameLength);
}

QString newCheckUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}
