#include "support/RussianLocale.h"

#include <QProcess>

RussianLocale::RussianLocale()
{
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
        { QStringLiteral("-i"), QStringLiteral("ru_RU"), QStringLiteral("-f"), QStringLiteral("UTF-8"),
            m_dir.filePath(QStringLiteral("ru_RU.UTF-8")) });
    if (!localedef.waitForFinished(60000) || localedef.exitStatus() != QProcess::NormalExit
        || localedef.exitCode() != 0) {
        m_problem = QStringLiteral("localedef: ") + QString::fromLocal8Bit(localedef.readAllStandardError())
            + localedef.errorString();
        return;
    }
    m_ready = true;
}

QProcessEnvironment RussianLocale::apply(QProcessEnvironment environment) const
{
    environment.insert(QStringLiteral("LOCPATH"), m_dir.path());
    environment.insert(QStringLiteral("LANG"), QStringLiteral("ru_RU.UTF-8"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    return environment;
}
