#include "platform/SafeFile.h"

#include "platform/SystemErrorText.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <sys/stat.h>

namespace SafeFile {

std::optional<QString> notRegularReason(const QString& path)
{
    // stat() follows a symbolic link, as a shell redirection would.
    struct stat info { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return std::nullopt;
    if (S_ISDIR(info.st_mode))
        return QStringLiteral("Это папка, а не обычный файл; она оставлена как есть.");
    if (S_ISFIFO(info.st_mode))
        return QStringLiteral("Это канал (FIFO), а не обычный файл; он оставлен как есть.");
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return QStringLiteral("Это устройство, а не обычный файл; оно оставлено как есть.");
    return QStringLiteral("Это не обычный файл; он оставлен как есть.");
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
    // The system's reason of the first step that failed; 0 when the failure was not the system's.
    int failure = 0;
    const auto step = [&failure](bool done) {
        if (!done && failure == 0)
            failure = errno;
        return done;
    };
    errno = 0;
    bool ok = step(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    if (ok && ownerOnly)
        ok = step(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    if (ok) {
        produce([&](QByteArrayView piece) {
            for (qint64 done = 0; ok && done < piece.size();) {
                errno = 0;
                const qint64 written = file.write(piece.data() + done, piece.size() - done);
                ok = step(written > 0);
                done += written;
            }
        });
    }
    if (ok) {
        errno = 0;
        ok = step(file.commit());
    }
    if (!ok && reason)
        *reason = failure != 0 ? systemErrorText(failure) : file.errorString();
    return ok;
}

} // namespace SafeFile
