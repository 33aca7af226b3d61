#pragma once

#include "app/check/CheckReport.h"
#include "app/check/HeadlessControls.h"
#include "net/ConnectionSettings.h"
#include "net/HttpClient.h"
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
    void waitWhilePaused() override;
    void processEvents() override;
    void applyProxySettings(HttpClient& client) override;
    HttpClient& engineClient(Engine engine) override { return *m_engineClients[int(engine)]; }
    HttpClient& metricsClient() override { return *m_metricsClient; }
    void advanceGauge(Engine, int) override { }
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(int n) override;
    void writeCountCell(int n, const QString& text) override;
    void writeRankCell(Engine engine, int n, const QString& text, int resultPage) override;

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
    void setYandexCY(const QString& text) override { m_cy = text; }
    void setGooglePR(const QString& text) override { m_pr = text; }
    void setGauge(Engine, int) override { }
    void lookupDone(Engine engine, int n) override;

private:
    CellRecord* currentCell(Engine engine, int n);

    ProjectInputs m_inputs;
    ConnectionSettings m_settings;
    CookieStore m_cookies;
    std::unique_ptr<HttpClient> m_engineClients[6];
    std::unique_ptr<HttpClient> m_metricsClient;

    QList<CellRecord> m_cells;
    qsizetype m_lookupFirstCell = 0; // cells written by the lookup under way start here
    QString m_cy, m_pr, m_elapsed;
    QStringList m_messages;
    std::optional<QString> m_error;
    bool m_stopRequested = false;
    std::function<void(const QString&)> m_progress;
};
