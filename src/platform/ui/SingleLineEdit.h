#pragma once

#include <QString>

class QLineEdit;

// The text before the first line break (CR or LF); the whole text when it has none.
QString firstLine(const QString& text);

// Makes the edit keep only the first line of any text it is given, typed, pasted or set by the
// program, as single-line edits do on the desktop the program comes from: a line break in a
// keyword or an address would otherwise reach the project file and the requests.
void keepFirstLine(QLineEdit* edit);
