#pragma once

#include <QByteArray>
#include <QString>
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

} // namespace SafeFile
