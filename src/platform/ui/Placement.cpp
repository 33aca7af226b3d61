#include "platform/ui/Placement.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace Placement {

QLabel* label(QWidget* parent, const QString& text, QPoint at)
{
    auto* result = new QLabel(text, parent);
    result->setTextFormat(Qt::PlainText);
    result->move(at);
    result->adjustSize();
    return result;
}

QLineEdit* edit(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* result = new QLineEdit(parent);
    result->setObjectName(name);
    result->setGeometry(geometry);
    return result;
}

QGroupBox* group(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* result = new QGroupBox(caption, parent);
    result->setObjectName(name);
    result->setGeometry(geometry);
    return result;
}

QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry)
{
    auto* result = new QPushButton(caption, parent);
    result->setObjectName(name);
    result->setGeometry(geometry);
    return result;
}

void fitWidth(QLabel* label, int maxWidth)
{
    QFont font = label->font();
    int stretch = font.stretch() == QFont::AnyStretch ? QFont::Unstretched : font.stretch();
    while (
        stretch > QFont::UltraCondensed && QFontMetrics(font).horizontalAdvance(label->text()) > maxWidth) {
        stretch -= 2;
        font.setStretch(stretch);
    }
    label->setFont(font);
    label->adjustSize();
}

} // namespace Placement
