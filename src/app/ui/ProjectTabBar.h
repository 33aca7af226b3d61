#pragma once

#include <QTabBar>
#include <functional>

// The main window's tab strip. Every change of the selected tab that the user asks for (mouse,
// wheel, arrow keys, Ctrl+Tab) first asks mayLeave(); a refusal keeps the selected tab. Changes made
// by the program itself (setCurrentIndex) are not asked about.
class ProjectTabBar : public QTabBar {
    Q_OBJECT
public:
    explicit ProjectTabBar(QWidget* parent = nullptr);

    void setLeaveGuard(std::function<bool()> mayLeave) { m_mayLeave = std::move(mayLeave); }
    // Selects the tab at index as the user would, through the guard; false when refused.
    bool selectByUser(int index);
    // Ctrl+Tab (+1) and Ctrl+Shift+Tab (-1), wrapping around.
    bool selectNextByUser(int step);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent* event) override;
#endif

private:
    bool mayLeave() const;

    std::function<bool()> m_mayLeave;
    bool m_pressRefused = false;
};
