#pragma once

#include <QString>

// The FileVersion string of the file's version information, by its first translation entry;
// empty for a file without version information, translation entry or FileVersion string.
QString GetFileVersionText(const QString& path);

// The about box's line: "Версия " + version text + "         Язык:  Русский".
QString versionLine(const QString& versionText);
