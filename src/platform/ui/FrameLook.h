#pragma once

#include <QColor>
#include <QFont>

// Fixed colours and the font of the project frame; system colours come from the application palette.
namespace FrameLook {

inline const QColor moneyGreen { 192, 220, 192 };
inline const QColor skyBlue { 166, 202, 240 };
inline const QColor navy { 0, 0, 128 };
inline const QColor cream { 255, 251, 240 };
inline const QColor maroon { 128, 0, 0 };
inline const QColor linkBlue { 0, 0, 255 };

QColor windowText();
QColor buttonFace();
QColor tooltipBackground();

// A Cyrillic-capable sans face at the size of an 8-point Tahoma.
QFont frameFont();

} // namespace FrameLook
