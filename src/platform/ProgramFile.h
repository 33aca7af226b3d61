#pragma once

#include <QString>

// The running program's own file.
namespace ProgramFile {

// Its path as text; empty when the path cannot be written as text (a folder whose name is not
// valid in the file-name encoding) or not be found at all.
QString path();

// A path that opens the program's file in every case: path(), else /proc/self/exe.
QString readablePath();

} // namespace ProgramFile
