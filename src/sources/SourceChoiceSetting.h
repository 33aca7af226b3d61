#pragma once

#include "rank/api/SourceChoice.h"

// The user's choice of source per engine column and for the query counts, remembered in the
// program's settings: group "Sources", a key per engine ("GoogleCom" .. "MSNCom") and "Wordstat",
// the source's code as the value. A value that is no source code is read as no choice.
namespace SourceChoiceSetting {

SourceChoice load();
// Empty when kept; otherwise why the settings could not be written.
QString save(const SourceChoice& choice);

} // namespace SourceChoiceSetting
