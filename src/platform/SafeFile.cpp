#include "platform/SafeFile.h"

#include <QSaveFile>

namespace SafeFile {

bool replace(const QString& path, const QByteArray& bytes, QString* reason, bool ownerOnly)
{
    return replaceWith(
        path, [&](const Writer& write) { write(bytes); }, reason, ownerOnly);
}

bool replaceWith(
    const QString& path, const std::function<void(const Writer&)>& produce, QString* reason, bool ownerOnly)
{
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
