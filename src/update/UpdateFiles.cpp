#include "update/UpdateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

UpdateFiles UpdateFiles::beside(const QString& executable)
{
    const QString folder = QFileInfo(executable).absolutePath() + QLatin1Char('/');
    UpdateFiles files;
    files.ExeFileName = executable;
    files.TempExeFileName = folder + QStringLiteral("~zltexe.tmp");
    files.BatchFileName = folder + QStringLiteral("~zlttmp.sh");
    return files;
}

QString UpdateFiles::folder() const
{
    return QFileInfo(ExeFileName).absolutePath();
}

bool UpdateFiles::folderWritable() const
{
    // A real attempt: permission bits say nothing about read-only mounts or the superuser.
    QTemporaryFile probe(QDir(folder()).filePath(QStringLiteral(".~zltprobe.XXXXXX")));
    return probe.open();
}
