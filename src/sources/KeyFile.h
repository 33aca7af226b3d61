#pragma once

#include "rank/api/SourceKeys.h"

#include <QString>
#include <optional>

// The keys kept in a file readable by the user alone, where no Secret Service answers: weaker
// than the keyring, as the key lies in the file as plain text. One "code=value" line a key
// ("yandex-api-key=..."). The file is written 0600 and only over a regular file; it is read only
// when it is a regular file of the user that no one else may read or write.
namespace KeyFile {

// "source-keys.conf" in the program's settings folder.
QString path();

// The keys the file holds; the empty keys when there is no file. Nothing, with the reason in
// words, when the file exists but is refused or cannot be read.
std::optional<SourceKeys> read(QString* problem);

// Replaces the file with the keys that are not empty; removes it when none is left.
bool write(const SourceKeys& keys, QString* problem);

} // namespace KeyFile
