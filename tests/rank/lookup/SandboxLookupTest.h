#pragma once

#include "net/Endpoints.h"
#include "rank/RankTestHost.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineLookups.h"
#include "rank/lookup/SiteMetrics.h"
#include "support/SandboxEngines.h"

#include <gtest/gtest.h>

// A lookup host pointed at a fresh sandbox with a short request interval.
class SandboxLookupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.started());
        Endpoints::setCurrent(Endpoints::fromFile(m_sandbox.endpointsFile()));
        ASSERT_TRUE(m_sandbox.command("site www.example.ru"));
        m_host.site = QStringLiteral("http://www.example.ru/");
        m_host.keywords[0] = QStringLiteral("kw");
        for (Engine engine : kEngines)
            m_host.checked[engine] = true;
    }

    void TearDown() override { Endpoints::setCurrent(Endpoints::defaults()); }

    void command(const QByteArray& lines) { ASSERT_TRUE(m_sandbox.command(lines)) << lines.constData(); }

    QList<QByteArray> targets(const QString& service) const
    {
        QList<QByteArray> found;
        for (const auto& request : m_sandbox.requests(service))
            found << request.target;
        return found;
    }

    qsizetype requestCount(const QString& service) const { return m_sandbox.requests(service).size(); }

    const RankTestHost::Cell& cell(const QString& name) { return m_host.cells[name]; }

    SandboxEngines m_sandbox { 2 };
    RankTestHost m_host;
    EngineClients m_clients;
    EngineLookups m_lookups { m_host, m_clients };
    SiteMetrics m_metrics { m_host, m_clients };
};
