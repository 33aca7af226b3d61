#pragma once

#include <QRect>
#include <QString>

class QGroupBox;
class QPushButton;
class QLabel;
class QLineEdit;
class QWidget;

// Small factories that create a child control at a fixed pixel position of its parent.
namespace Placement {

QLabel* label(QWidget* parent, const QString& text, QPoint at);
QLineEdit* edit(QWidget* parent, const QString& name, const QRect& geometry);
QGroupBox* group(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);
QPushButton* button(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry);

// Narrows the label's font just enough for its text to fit into maxWidth pixels.
void fitWidth(QLabel* label, int maxWidth);

} // namespace Placement
