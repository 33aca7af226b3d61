#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace BoundedFile {

// Reads a whole regular file of at most maxBytes. Folders, devices, FIFOs and sockets are
// refused without waiting on them, and so is a file that holds more than maxBytes (also one
// that grows while it is read); the reason is given in words.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes, QString* reason);

// Who besides its owner may write a file that readOwn() accepts.
enum class OtherWriters {
    None, // neither the group nor others, as ssh asks of its keys
    Group, // the owner's group may; others may not
};

// As read(), for a file that steers the program (its settings, its endpoints, its engine
// definitions, a password): it must also be owned by the user who runs the program and be
// writable by no one else. A project file, which a team may share through its group, passes
// OtherWriters::Group.
std::optional<QByteArray> readOwn(
    const QString& path, qint64 maxBytes, QString* reason, OtherWriters allowed = OtherWriters::None);

} // namespace BoundedFile
