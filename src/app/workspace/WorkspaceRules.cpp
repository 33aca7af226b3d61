#include "app/workspace/WorkspaceRules.h"

#include <QDir>
#include <QFileInfo>

namespace WorkspaceRules {

QString newProjectCaption()
{
    return QStringLiteral("Новый проект");
}

QString tabCaption(const QString& fileName)
{
    if (fileName.isEmpty())
        return newProjectCaption();
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString unsavedQuestion(const QString& caption)
{
    return QStringLiteral("Проект \"%1\" не сохранен. Сохранить?").arg(caption);
}

QString helpFilePath(const QString& executablePath)
{
    const QFileInfo info(executablePath);
    const QString name = info.fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    return info.dir().filePath(base + QStringLiteral(".chm"));
}

QString folderOf(const QString& fileName)
{
    return QFileInfo(fileName).absolutePath();
}

QList<int> projectsToAskAtExit(const QList<bool>& modified)
{
    QList<int> indexes;
    for (int i = 0; i < modified.size(); ++i) {
        if (modified[i])
            indexes << i;
    }
    return indexes;
}

SaveStep saveStep(bool modified, const QString& fileName)
{
    if (!modified)
        return SaveStep::Nothing;
    return fileName.isEmpty() ? SaveStep::SaveAs : SaveStep::Write;
}

QString homePageUrl(const QString& makerSite)
{
    return QStringLiteral("http://%1/").arg(makerSite);
}

QString onlineSupportUrl(const QString& makerSite)
{
    return QStringLiteral("http://%1/support.htm").arg(makerSite);
}

} // namespace WorkspaceRules
