#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// A downloaded definitions file as it lies in the data folder: the published bytes, then one last
// comment line that carries their signature ("; signature: " and its Base64), so that a file and
// its signature are replaced together by one rename. Files installed by earlier versions of the
// program keep their signature beside them, in FILE.sig; they are read as well.
namespace SignedDefinitionsFile {

struct Verified {
    QByteArray content; // the published bytes, without the signature line
    QByteArray signature;
};

// The file to write for the published content and its signature.
QByteArray compose(const Verified& pair);

// The content of the file at path when its signature verifies with publicKey: the one it carries,
// else the one in legacySignaturePath. Otherwise nothing, with the reason in words.
enum class Failure { Unreadable, Unsigned };
std::optional<Verified> read(const QString& path, const QString& legacySignaturePath,
    const QByteArray& publicKey, Failure* failure, QString* reason);

} // namespace SignedDefinitionsFile
