#include "platform/ProgramFolders.h"

#include <QDir>

namespace {

const char kProgramFolder[] = "/Tellvik/Kestrova Sertrix";

QString baseFolder(const char* variable, const QString& fallback)
{
    const QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || QDir::isRelativePath(base))
        return QDir::homePath() + fallback;
    return base;
}

} // namespace

QString ProgramFolders::settings()
{
    return baseFolder("XDG_CONFIG_HOME", QStringLiteral("/.config")) + QLatin1String(kProgramFolder);
}

QString ProgramFolders::data()
{
    return baseFolder("XDG_DATA_HOME", QStringLiteral("/.local/share")) + QLatin1String(kProgramFolder);
}
