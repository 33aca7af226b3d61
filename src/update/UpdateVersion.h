#pragma once

#include <QString>

namespace UpdateVersion {

// The version of the running program, as its file carries it (the build's file version).
QString running();

// The FileVersion the program file held in image carries; empty when it carries none.
QString ofImage(const QByteArray& image);

// Whether offered is a later version than current. Versions are up to four whole numbers
// joined by dots ("1.3.2.110"), missing ones counting as 0; a text that is no version is never
// later, and nothing is later than a current text that is no version.
bool isNewer(const QString& offered, const QString& current);

} // namespace UpdateVersion
