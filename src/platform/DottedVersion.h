#pragma once

#include <QString>

// Versions written as one to four whole numbers joined by dots ("1.3.2.110", "2026.12.7.1"),
// compared part by part with missing parts counting as 0.
namespace DottedVersion {

bool isVersion(const QString& text);

// Whether offered is a later version than current. A text that is no version is never later, and
// nothing is later than a current text that is no version.
bool isLater(const QString& offered, const QString& current);

} // namespace DottedVersion
