#pragma once

#include "rank/run/RunHost.h"

class TfrRank;

// Lets the run control and the lookups drive a project frame's widgets.
class FrameRunHost : public RunHost {
public:
    explicit FrameRunHost(TfrRank& frame)
        : m_frame(frame)
    {
    }

    // LookupHost
    QString siteText() const override;
    QString keyword(int n) const override;
    bool engineChecked(Engine engine) const override;
    bool stopRequested() const override;
    void waitWhilePaused() override;
    void processEvents() override;
    void applyProxySettings(HttpClient& client) override;
    HttpClient& engineClient(Engine engine) override;
    HttpClient& metricsClient() override;
    void advanceGauge(Engine engine, int step) override;
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(int n) override;
    void writeCountCell(int n, const QString& text) override;
    void writeRankCell(Engine engine, int n, const QString& text, int resultPage) override;

    // RunHost
    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    void setStartEnabled(bool enabled) override;
    void setPauseCaption(const QString& caption) override;
    void setRunning(bool running) override;
    void setPaused(bool paused) override;
    bool paused() const override;
    void setStopRequested(bool stop) override;
    void setTimerActive(bool active) override;
    void setTimeText(const QString& text) override;
    void setYandexCY(const QString& text) override;
    void setGooglePR(const QString& text) override;
    void setGauge(Engine engine, int position) override;

private:
    TfrRank& m_frame;
};
