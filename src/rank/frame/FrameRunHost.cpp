#include "rank/frame/FrameRunHost.h"

#include "platform/ui/Prompts.h"
#include "rank/frame/ResultCell.h"
#include "rank/frame/TfrRank.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

QString FrameRunHost::siteText() const
{
    return m_frame.siteText();
}
QString FrameRunHost::keyword(int n) const
{
    return m_frame.keyword(n);
}
bool FrameRunHost::engineChecked(Engine engine) const
{
    return m_frame.engineChecked(engine);
}
bool FrameRunHost::stopRequested() const
{
    return m_frame.stopRequested();
}
void FrameRunHost::waitWhilePaused()
{
    m_frame.WaitWhilePaused();
}
void FrameRunHost::processEvents()
{
    QCoreApplication::processEvents();
}
void FrameRunHost::applyProxySettings(HttpClient& client)
{
    m_frame.ApplyProxySettings(client);
}
HttpClient& FrameRunHost::engineClient(Engine engine)
{
    return m_frame.engineClient(engine);
}
HttpClient& FrameRunHost::metricsClient()
{
    return *m_frame.HTTPCYPR;
}
void FrameRunHost::advanceGauge(Engine engine, int step)
{
    m_frame.advanceGauge(engine, step);
}
void FrameRunHost::resetRankCell(Engine engine, int n)
{
    m_frame.resetRankCell(engine, n);
}
void FrameRunHost::resetCountCell(int n)
{
    m_frame.resetCountCell(n);
}
void FrameRunHost::writeCountCell(int n, const QString& text)
{
    m_frame.writeCountCell(n, text);
}

void FrameRunHost::writeRankCell(Engine engine, int n, const QString& text, int resultPage)
{
    m_frame.writeRankCell(engine, n, text, resultPage);
}

void FrameRunHost::showMessage(const QString& text)
{
    Prompts::instance().message(m_frame.window(), text);
}
void FrameRunHost::showError(const QString& text)
{
    Prompts::instance().error(m_frame.window(), text);
}
void FrameRunHost::setStartEnabled(bool enabled)
{
    m_frame.Button->setEnabled(enabled);
}
void FrameRunHost::setPauseCaption(const QString& caption)
{
    m_frame.ButtonPause->setText(caption);
}
void FrameRunHost::setRunning(bool running)
{
    m_frame.SetRunning(running);
}
void FrameRunHost::setPaused(bool paused)
{
    m_frame.SetPaused(paused);
}
bool FrameRunHost::paused() const
{
    return m_frame.paused();
}
void FrameRunHost::setStopRequested(bool stop)
{
    m_frame.SetStopRequested(stop);
}

void FrameRunHost::setTimerActive(bool active)
{
    if (active)
        m_frame.Timer->start();
    else
        m_frame.Timer->stop();
}

void FrameRunHost::setTimeText(const QString& text)
{
    m_frame.stTime->setText(text);
}
void FrameRunHost::setYandexCY(const QString& text)
{
    m_frame.stYandexCY->setText(text);
}
void FrameRunHost::setGooglePR(const QString& text)
{
    m_frame.stGooglePR->setText(text);
}
void FrameRunHost::setGauge(Engine engine, int position)
{
    m_frame.setGaugePosition(engine, position);
}
