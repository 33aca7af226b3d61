#include "app/check/WriteLine.h"

#include <QIODevice>
#include <QString>

void writeLine(QIODevice& device, const QString& text)
{
    device.write(text.toUtf8() + '\n');
}
