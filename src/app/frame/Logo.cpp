#include "app/frame/Logo.h"

#include "platform/ui/FrameLook.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QPixmap drawLogo(const QSize& size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF band = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(band.topLeft(), band.bottomRight());
    gradient.setColorAt(0, FrameLook::navy);
    gradient.setColorAt(1, FrameLook::skyBlue);
    QPainterPath path;
    path.addRoundedRect(band, 6, 6);
    painter.fillPath(path, gradient);
    painter.setPen(FrameLook::navy);
    painter.drawPath(path);

    QFont font = FrameLook::frameFont();
    font.setPixelSize(size.height() / 2);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(band, Qt::AlignCenter, QStringLiteral("Kestrova Sertrix"));
    return pixmap;
}
