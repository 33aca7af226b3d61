#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace BoundedFile {

// Reads a whole regular file of at most maxBytes. Folders, devices, FIFOs and sockets are
// refused without waiting on them, and so is a file that holds more than maxBytes (also one
// that grows while it is read); the reason is given in words.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes, QString* reason);

// As read(), for a file that steers the program (its settings, its endpoints, a password): it
// must also be owned by the user who runs the program and not be writable by others.
std::optional<QByteArray> readOwn(const QString& path, qint64 maxBytes, QString* reason);

} // namespace BoundedFile
