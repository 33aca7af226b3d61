#pragma once

class QIODevice;
class QString;

// One line of the checker's output, in UTF-8.
void writeLine(QIODevice& device, const QString& text);
