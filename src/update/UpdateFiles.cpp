#include "update/UpdateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

UpdateFiles UpdateFiles::beside(const QString& executable)
{
    // Without the program's path there is no folder to put anything in.
    if (executable.isEmpty())
        return {};
    const QString folder = QFileInfo(executable).absolutePath() + QLatin1Char('/');
    UpdateFiles files;
    files.ExeFileName = executable;
    files.TempExeFileName = folder + QStringLiteral("~zltexe.tmp");
    files.BatchFileName = folder + QStringLiteral("~zlttmp.sh");
    files.SignatureFileName = folder + QStringLiteral("~zltexe.sig");
    files.FailureFileName = folder + QStringLiteral("~zltfail.txt");
    files.packaged = listedIn(kPackageList, executable);
    return files;
}

const QString UpdateFiles::kPackageList = QStringLiteral("/var/lib/dpkg/info/kestrova-sertrix.list");

bool UpdateFiles::listedIn(const QString& packageList, const QString& executable)
{
    QFile list(packageList);
    // A package lists a few dozen paths; anything much larger is not its list.
    if (!list.open(QIODevice::ReadOnly) || list.size() > 1024 * 1024)
        return false;
    const QString canonical = QFileInfo(executable).canonicalFilePath();
    const QString absolute = QFileInfo(executable).absoluteFilePath();
    for (const QByteArray& line : list.readAll().split('\n')) {
        const QString path = QString::fromUtf8(line.trimmed());
        if (!path.isEmpty() && (path == absolute || path == canonical))
            return true;
    }
    return false;
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
