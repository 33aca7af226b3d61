#include "platform/ui/FrameLook.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPalette>

namespace FrameLook {

QColor windowText()
{
    return QApplication::palette().color(QPalette::WindowText);
}

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

QColor tooltipBackground()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

QFont frameFont()
{
    static const bool hasTahoma = QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
    QFont font(hasTahoma ? QStringLiteral("Tahoma") : QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    // Tahoma is narrower than the common Linux faces; without it a semi-condensed width keeps the
    // texts in their places.
    if (!hasTahoma)
        font.setStretch(QFont::SemiCondensed);
    return font;
}

} // namespace FrameLook
