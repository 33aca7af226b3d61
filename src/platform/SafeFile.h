#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace SafeFile {

// Replaces the file at path with bytes at once: they go to a temporary file beside it that is
// renamed over it only when completely written, so a crash or a full disk leaves the old file or
// the new one, never a part. With ownerOnly the file is readable and writable by its owner only.
// Only a regular file is replaced: a FIFO, a device or a folder standing at path (also behind a
// symbolic link) is refused and left untouched. Returns false with the reason.
bool replace(const QString& path, const QByteArray& bytes, QString* reason, bool ownerOnly = false);

// Why path cannot be replaced by a regular file: nothing when it is missing or a regular file.
std::optional<QString> notRegularReason(const QString& path);

// Takes the bytes piece by piece, as produce hands them to its writer, so that a large file never
// has to be held in memory. Once a piece could not be written the rest are dropped and false is
// returned; when produce throws, the old file stays and the exception goes on.
using Writer = std::function<void(QByteArrayView piece)>;
bool replaceWith(const QString& path, const std::function<void(const Writer&)>& produce, QString* reason,
    bool ownerOnly = false);

} // namespace SafeFile
