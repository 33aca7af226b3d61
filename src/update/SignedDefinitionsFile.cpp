#include "update/SignedDefinitionsFile.h"

#include "platform/BoundedFile.h"
#include "rank/lookup/DefinitionsFile.h"
#include "update/UpdateSignature.h"

namespace SignedDefinitionsFile {

namespace {

const QByteArray kPrefix = "\n; signature: ";

qsizetype lineLength()
{
    return kPrefix.size() + QByteArray(UpdateSignature::kSignatureBytes, '\0').toBase64().size() + 1;
}

// The pair the file carries, when its last line is a signature line.
std::optional<Verified> carried(const QByteArray& file)
{
    const qsizetype length = lineLength();
    if (file.size() < length || !file.endsWith('\n'))
        return std::nullopt;
    const QByteArray line = file.right(length);
    if (!line.startsWith(kPrefix))
        return std::nullopt;
    const auto decoded = QByteArray::fromBase64Encoding(
        line.mid(kPrefix.size()).chopped(1), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    return Verified { file.chopped(length), *decoded };
}

} // namespace

QByteArray compose(const Verified& pair)
{
    return pair.content + kPrefix + pair.signature.toBase64() + '\n';
}

std::optional<Verified> read(const QString& path, const QString& legacySignaturePath,
    const QByteArray& publicKey, Failure* failure, QString* reason)
{
    const auto file = BoundedFile::read(path, DefinitionsFile::kMaxBytes + lineLength(), reason);
    if (!file) {
        *failure = Failure::Unreadable;
        return std::nullopt;
    }
    if (const auto pair = carried(*file);
        pair && UpdateSignature::verify(pair->content, pair->signature, publicKey))
        return pair;
    QString ignored;
    const auto signature = BoundedFile::read(legacySignaturePath, UpdateSignature::kSignatureBytes, &ignored);
    if (signature && file->size() <= DefinitionsFile::kMaxBytes
        && UpdateSignature::verify(*file, *signature, publicKey))
        return Verified { *file, *signature };
    *failure = Failure::Unsigned;
    return std::nullopt;
}

} // namespace SignedDefinitionsFile
