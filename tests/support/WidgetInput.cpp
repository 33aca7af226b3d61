#include "support/WidgetInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRectF>
#include <QWidget>

void clickAt(QWidget* target, QPointF at)
{
    const QPointF global = target->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void click(QWidget* target)
{
    clickAt(target, QRectF(target->rect()).center());
}

void pressKey(QWidget* target, Qt::Key key, const QString& text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void typeText(QWidget* target, const QString& text)
{
    for (const QChar c : text)
        pressKey(target, Qt::Key(0), QString(c));
}
