#pragma once

#include "app/check/CheckReport.h"
#include "app/check/HeadlessControls.h"
#include "net/ConnectionSettings.h"
#include "rank/run/RunHost.h"

#include <functional>
#include <memory>
#include <optional>

// The project frame of the command-line checker: it keeps the values a frame would show and
// records every cell write. A pause cannot be asked for here, so waiting while paused only
// pumps the event loop once.
class CheckerHost : public RunHost {
public:
    CheckerHost(const ProjectInputs& inputs, const ConnectionSettings& settings);
    ~CheckerHost() override;

    // Called with one line after each lookup.
    void setProgressHandler(std::function<void(const QString&)> handler) { m_progress = std::move(handler); }

    const QStringList& messages() const { return m_messages; }
    const std::optional<QString>& error() const { return m_error; }
    bool stopRequested() const override { return m_stopRequested; }
    CheckReport report() const;

    // LookupHost
    QString siteText() const override { return m_inputs.site; }
    QString keyword(int n) const override { return m_inputs.keywords.value(n - 1); }
    bool engineChecked(Engine engine) const override { return m_inputs.checked[int(engine)]; }
    ConnectionSettings connectionSettings() const override { return m_settings; }
    void waitWhilePaused() override;
    void processEvents() override;
    void advanceGauge(Engine, int) override { }
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(Engine engine, int n) override;
    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) override;
    void writeRankCell(
        Engine engine, int n, const QString& text, int resultPage, const Outcome& why) override;
    void notAsked(Engine engine, int n, const Outcome& why) override;

    // RunHost
    void showMessage(const QString& text) override { m_messages << text; }
    void showError(const QString& text) override { m_error = text; }
    void setStartEnabled(bool) override { }
    void setPauseCaption(const QString&) override { }
    void setRunning(bool) override { }
    void setPaused(bool) override { }
    bool paused() const override { return false; }
    void setStopRequested(bool stop) override { m_stopRequested = stop; }
    void setTimerActive(bool) override { }
    void setTimeText(const QString& text) override { m_elapsed = text; }
    void setYandexCY(const QString& text, const Outcome& why) override { m_cy = { text, why }; }
    void setGooglePR(const QString& text, const Outcome& why) override { m_pr = { text, why }; }
    void nothingAnswered(const QString& lastError) override { m_nothingAnswered = lastError; }
    void setGauge(Engine, int) override { }
    void lookupDone(Engine engine, int n) override;

private:
    CellRecord* currentCell(Engine engine, int n);
    CellRecord& cellOf(Engine engine, int n);

    ProjectInputs m_inputs;
    ConnectionSettings m_settings;

    QList<CellRecord> m_cells;
    qsizetype m_lookupFirstCell = 0; // cells written by the lookup under way start here
    MetricRecord m_cy, m_pr;
    QString m_elapsed;
    std::optional<QString> m_nothingAnswered;
    QStringList m_messages;
    std::optional<QString> m_error;
    bool m_stopRequested = false;
    std::function<void(const QString&)> m_progress;
};
