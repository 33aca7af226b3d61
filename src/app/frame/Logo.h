#pragma once

#include <QPixmap>
#include <QSize>

// The program's logo: its name on a navy band, drawn at the given size.
QPixmap drawLogo(const QSize& size);
