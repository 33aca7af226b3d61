#include "support/CheckerProgram.h"

#include <QCoreApplication>

QString checkerProgram()
{
    const QString configured = qEnvironmentVariable("KS_CHECK_BIN");
    return configured.isEmpty()
        ? QCoreApplication::applicationDirPath() + QStringLiteral("/../kestrova-check")
        : configured;
}

QProcessEnvironment checkerEnvironment(const QString& endpointsFile, const QString& configHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KESTROVA_ENDPOINTS"), endpointsFile);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    return environment;
}
