#include "app/frame/ResultCell.h"

#include "platform/ui/FrameLook.h"

#include <QPalette>

ResultCell::ResultCell(QWidget* parent)
    : QLabel(parent)
{
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setAlignment(Qt::AlignCenter);
    setWordWrap(false);
    setTextFormat(Qt::PlainText);
    setTextColor(FrameLook::windowText());
    setBackgroundColor(FrameLook::buttonFace());
}

ResultCell* ResultCell::place(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* cell = new ResultCell(parent);
    cell->setObjectName(name);
    cell->setGeometry(geometry);
    return cell;
}

QColor ResultCell::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void ResultCell::setTextColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QColor ResultCell::backgroundColor() const
{
    return palette().color(QPalette::Window);
}

void ResultCell::setBackgroundColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}

void ResultCell::takeColorsOf(const ResultCell& other)
{
    setTextColor(other.textColor());
    setBackgroundColor(other.backgroundColor());
}
