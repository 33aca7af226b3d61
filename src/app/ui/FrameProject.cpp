#include "app/ui/FrameProject.h"

#include "app/frame/TfrRank.h"
#include "rank/run/CheckRun.h"

bool FrameProject::modified() const
{
    return m_frame.modified();
}

QString FrameProject::fileName() const
{
    return m_frame.fileName();
}

void FrameProject::setFileName(const QString& fileName)
{
    m_frame.SetFileName(fileName);
}

void FrameProject::reset()
{
    m_frame.ResetProject();
}

void FrameProject::load(const QString& path)
{
    m_frame.LoadProject(path);
}

void FrameProject::save(const QString& path)
{
    m_frame.SaveProject(path);
}

bool FrameProject::checkActive() const
{
    return m_frame.checkRun().isRunning();
}

void FrameProject::requestStop()
{
    m_frame.checkRun().requestStop();
}

QString FrameProject::startupProblem() const
{
    return m_frame.settingsProblem();
}

void FrameProject::whenCheckEnded(QObject* context, std::function<void()> ended)
{
    // Queued: the signal comes from inside the start handler, which must return before the frame
    // may go.
    QObject::connect(
        &m_frame.checkRun(), &CheckRun::finished, context, std::move(ended), Qt::QueuedConnection);
}
