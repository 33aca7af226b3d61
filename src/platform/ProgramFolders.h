#pragma once

#include <QString>

// The program's own folders under the user's XDG base folders; a relative or empty variable
// counts as unset, as the XDG rules ask.
namespace ProgramFolders {

// $XDG_CONFIG_HOME/Tellvik/Kestrova Sertrix: settings and the user's own files.
QString settings();
// $XDG_DATA_HOME/Tellvik/Kestrova Sertrix: what the program keeps and fetches.
QString data();

} // namespace ProgramFolders
