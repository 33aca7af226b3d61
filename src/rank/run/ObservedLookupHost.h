#pragma once

#include "rank/lookup/LookupHost.h"

class RunObserver;

// The host the lookups write to: everything goes to the project's host, and the cell writes are
// told to the run's observer as well, when there is one.
class ObservedLookupHost : public LookupHost {
public:
    explicit ObservedLookupHost(LookupHost& host)
        : m_host(host)
    {
    }

    void setObserver(RunObserver* observer) { m_observer = observer; }

    QString siteText() const override { return m_host.siteText(); }
    QString keyword(int n) const override { return m_host.keyword(n); }
    bool engineChecked(Engine engine) const override { return m_host.engineChecked(engine); }
    ConnectionSettings connectionSettings() const override { return m_host.connectionSettings(); }
    bool stopRequested() const override { return m_host.stopRequested(); }
    void waitWhilePaused() override { m_host.waitWhilePaused(); }
    void processEvents() override { m_host.processEvents(); }
    void advanceGauge(Engine engine, int step) override { m_host.advanceGauge(engine, step); }
    void resetRankCell(Engine engine, int n) override { m_host.resetRankCell(engine, n); }
    void resetCountCell(Engine engine, int n) override { m_host.resetCountCell(engine, n); }

    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why) override;
    void writeRankCell(
        Engine engine, int n, const QString& text, int resultPage, const Outcome& why) override;
    void notAsked(Engine engine, int n, const Outcome& why) override;

private:
    LookupHost& m_host;
    RunObserver* m_observer = nullptr;
};
