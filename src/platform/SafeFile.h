#pragma once

#include <QByteArray>
#include <QString>

namespace SafeFile {

// Replaces the file at path with bytes at once: they go to a temporary file beside it that is
// renamed over it only when completely written, so a crash or a full disk leaves the old file or
// the new one, never a part. With ownerOnly the file is readable and writable by its owner only.
// Returns false with the system's reason.
bool replace(const QString& path, const QByteArray& bytes, QString* reason, bool ownerOnly = false);

} // namespace SafeFile
