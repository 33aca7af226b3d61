#include "update/ui/CopyAnimation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

void drawFolder(QPainter& painter, const QRectF& box)
{
    QPainterPath folder;
    folder.moveTo(box.left(), box.top() + 6);
    folder.lineTo(box.left() + box.width() * 0.4, box.top() + 6);
    folder.lineTo(box.left() + box.width() * 0.45, box.top());
    folder.lineTo(box.right(), box.top());
    folder.lineTo(box.right(), box.bottom());
    folder.lineTo(box.left(), box.bottom());
    folder.closeSubpath();
    painter.setPen(QColor(0x9c, 0x7a, 0x1e));
    painter.setBrush(QColor(0xf2, 0xd0, 0x6b));
    painter.drawPath(folder);
}

} // namespace

CopyAnimation::CopyAnimation(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(sizeHint());
    m_timer.setInterval(60);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % FrameCount;
        update();
    });
}

void CopyAnimation::start()
{
    m_frame = 0;
    m_timer.start();
    update();
}

void CopyAnimation::stop()
{
    m_timer.stop();
    m_frame = StopFrame;
    update();
}

void CopyAnimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF from(8, 22, 56, 34);
    const QRectF to(width() - 64, 22, 56, 34);
    drawFolder(painter, from);
    drawFolder(painter, to);

    // The sheet rises out of the left folder, flies over in an arc and sinks into the right one.
    const double t = double(m_frame) / (FrameCount - 1);
    const double x = from.center().x() + t * (to.center().x() - from.center().x());
    const double y = from.top() - std::sin(t * M_PI) * 18;
    const QRectF sheet(x - 9, y - 8, 18, 22);
    painter.setPen(QColor(0x55, 0x55, 0x55));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    for (int line = 0; line < 3; ++line)
        painter.drawLine(QPointF(sheet.left() + 3, sheet.top() + 5 + 5 * line),
            QPointF(sheet.right() - 3, sheet.top() + 5 + 5 * line));
}
