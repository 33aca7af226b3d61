#pragma once

#include <QPointF>
#include <QString>
#include <Qt>

class QWidget;

// A user's mouse and keys, sent straight to a widget: no window system needed.
void clickAt(QWidget* target, QPointF at);
void click(QWidget* target); // in its centre
void pressKey(QWidget* target, Qt::Key key, const QString& text = {});
void typeText(QWidget* target, const QString& text); // one key press per character
