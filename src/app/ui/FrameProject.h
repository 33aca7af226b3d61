#pragma once

#include "app/workspace/WorkspaceProject.h"

#include <QObject>
#include <functional>

class TfrRank;

// A project frame as the workspace sees it. The frame is a child of the window's tab control;
// this object only points at it.
class FrameProject : public WorkspaceProject {
public:
    explicit FrameProject(TfrRank& frame)
        : m_frame(frame)
    {
    }

    TfrRank& frame() const { return m_frame; }

    bool modified() const override;
    QString fileName() const override;
    void setFileName(const QString& fileName) override;
    void reset() override;
    void load(const QString& path) override;
    void save(const QString& path) override;
    bool checkActive() const override;
    void requestStop() override;
    QString startupProblem() const override;

    // Calls ended after every check of the frame, once its start handler has returned, so that
    // ended may destroy the frame.
    void whenCheckEnded(QObject* context, std::function<void()> ended);

private:
    TfrRank& m_frame;
};
