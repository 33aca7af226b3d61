#include "platform/SafeFile.h"

#include <QFile>
#include <QSaveFile>
#include <sys/stat.h>

namespace SafeFile {

std::optional<QString> notRegularReason(const QString& path)
{
    // stat() follows a symbolic link, as a shell redirection would.
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("It is a folder, not a regular file; it was left as it is.");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("It is a FIFO, not a regular file; it was left as it is.");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("It is a device, not a regular file; it was left as it is.");
    return QStringLiteral("It is not a regular file; it was left as it is.");
}

bool replace(const QString& path, const QByteArray& bytes, QString* reason, bool ownerOnly)
{
    return replaceWith(
        path, [&](const Writer& write) { write(bytes); }, reason, ownerOnly);
}

bool replaceWith(
    const QString& path, const std::function<void(const Writer&)>& produce, QString* reason, bool ownerOnly)
{
    if (const auto refused = notRegularReason(path)) {
        if (reason)
            *reason = *refused;
        return false;
    }
    // Unbuffered, because a buffered flush that writes only part of the data reports no error.
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    if (ok && ownerOnly)
        ok = file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (ok) {
        produce([&](QByteArrayView piece) {
            for (qint64 done = 0; ok && done < piece.size();) {
                const qint64 written = file.write(piece.data() + done, piece.size() - done);
                ok = written > 0;
                done += written;
            }
        });
    }
    ok = ok && file.commit();
    if (!ok && reason)
        *reason = file.errorString();
    return ok;
}

} // namespace SafeFile
