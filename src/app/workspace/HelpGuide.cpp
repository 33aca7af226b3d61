#include "app/workspace/HelpGuide.h"

#include "app/workspace/WorkspaceRules.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kBesideTheProgram = QStringLiteral("help/index.html");
const QString kInstalled = QStringLiteral("../share/kestrova-sertrix/help/index.html");

} // namespace

HelpGuide::HelpGuide(const QString& executablePath)
    : m_executablePath(executablePath)
{
}

QStringList HelpGuide::candidates() const
{
    if (m_executablePath.isEmpty())
        return {};
    const QDir folder = QFileInfo(m_executablePath).absoluteDir();
    return { QDir::cleanPath(folder.filePath(kBesideTheProgram)),
        QDir::cleanPath(folder.filePath(kInstalled)),
        WorkspaceRules::helpFilePath(QFileInfo(m_executablePath).absoluteFilePath()) };
}

QString HelpGuide::find() const
{
    for (const QString& path : candidates()) {
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}
