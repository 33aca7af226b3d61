#include "app/ui/ProjectTabBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

ProjectTabBar::ProjectTabBar(QWidget* parent)
    : QTabBar(parent)
{
    setExpanding(false);
    setDrawBase(true);
}

bool ProjectTabBar::mayLeave() const
{
    return !m_mayLeave || m_mayLeave();
}

bool ProjectTabBar::selectByUser(int index)
{
    if (index < 0 || index >= count() || index == currentIndex())
        return true;
    if (!mayLeave())
        return false;
    setCurrentIndex(index);
    return true;
}

bool ProjectTabBar::selectNextByUser(int step)
{
    if (count() < 2)
        return true;
    return selectByUser((currentIndex() + step + count()) % count());
}

void ProjectTabBar::mousePressEvent(QMouseEvent* event)
{
    const int index = tabAt(event->position().toPoint());
    m_pressRefused = false;
    if (event->button() == Qt::LeftButton && index >= 0 && index != currentIndex() && !mayLeave()) {
        m_pressRefused = true;
        event->accept();
        return;
    }
    QTabBar::mousePressEvent(event);
}

void ProjectTabBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_pressRefused) {
        m_pressRefused = false;
        event->accept();
        return;
    }
    QTabBar::mouseReleaseEvent(event);
}

void ProjectTabBar::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        if (count() > 1 && !mayLeave()) {
            event->accept();
            return;
        }
        break;
    default:
        break;
    }
    QTabBar::keyPressEvent(event);
}

#if QT_CONFIG(wheelevent)
void ProjectTabBar::wheelEvent(QWheelEvent* event)
{
    if (count() > 1 && !mayLeave()) {
        event->accept();
        return;
    }
    QTabBar::wheelEvent(event);
}
#endif
