#pragma once

#include <QTimer>
#include <QWidget>

// A sheet flying from one folder to another, drawn by the program itself: the platform has no
// file-copy animation. It advances only while window messages are processed, so it also shows
// that the program is alive.
class CopyAnimation : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameCount = 32;
    static constexpr int StopFrame = 20;

    explicit CopyAnimation(QWidget* parent = nullptr);

    void start();
    void stop(); // shows StopFrame
    bool active() const { return m_timer.isActive(); }
    int frame() const { return m_frame; }

    QSize sizeHint() const override { return { 272, 60 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer m_timer;
    int m_frame = StopFrame;
};
