#include "app/check/CheckerHost.h"

#include <QCoreApplication>

CheckerHost::CheckerHost(const ProjectInputs& inputs, const ConnectionSettings& settings)
    : m_inputs(inputs)
    , m_settings(settings)
{
    for (Engine engine : kEngines) {
        const auto version
            = engine == Engine::MSNCom ? HttpClient::Version::Http10 : HttpClient::Version::Http11;
        m_engineClients[int(engine)] = std::make_unique<HttpClient>(m_cookies, version);
    }
    m_metricsClient = std::make_unique<HttpClient>(m_cookies);
}

CheckerHost::~CheckerHost() = default;

void CheckerHost::waitWhilePaused()
{
    processEvents();
}

void CheckerHost::processEvents()
{
    QCoreApplication::processEvents();
}

void CheckerHost::applyProxySettings(HttpClient& client)
{
    client.proxy() = proxyParamsFrom(m_settings);
}

CellRecord* CheckerHost::currentCell(Engine engine, int n)
{
    for (qsizetype i = m_cells.size() - 1; i >= m_lookupFirstCell; --i) {
        if (m_cells[i].engine == engine && m_cells[i].n == n)
            return &m_cells[i];
    }
    return nullptr;
}

void CheckerHost::resetRankCell(Engine engine, int n)
{
    CellRecord* cell = currentCell(engine, n);
    if (!cell) {
        m_cells.append(CellRecord { engine, n, {}, std::nullopt, std::nullopt });
        cell = &m_cells.last();
    }
    cell->rank.clear();
    cell->page.reset();
    if (engine == Engine::YandexRu)
        cell->count = QString();
}

void CheckerHost::resetCountCell(int n)
{
    if (CellRecord* cell = currentCell(Engine::YandexRu, n))
        cell->count = QString();
    else
        m_cells.append(CellRecord { Engine::YandexRu, n, {}, std::nullopt, QString() });
}

void CheckerHost::writeCountCell(int n, const QString& text)
{
    if (CellRecord* cell = currentCell(Engine::YandexRu, n))
        cell->count = text;
    else
        m_cells.append(CellRecord { Engine::YandexRu, n, {}, std::nullopt, text });
}

void CheckerHost::writeRankCell(Engine engine, int n, const QString& text, int resultPage)
{
    CellRecord* cell = currentCell(engine, n);
    if (!cell) {
        m_cells.append(CellRecord { engine, n, {}, std::nullopt, std::nullopt });
        cell = &m_cells.last();
    }
    cell->rank = text;
    cell->page = resultPage;
}

void CheckerHost::lookupDone(Engine engine, int n)
{
    if (m_progress)
        m_progress(formatProgress(engine, n, currentCell(engine, n)));
    m_lookupFirstCell = m_cells.size();
}

CheckReport CheckerHost::report() const
{
    CheckReport report;
    report.site = m_inputs.site;
    report.cy = m_cy;
    report.pr = m_pr;
    report.elapsed = m_elapsed;
    report.stopped = m_stopRequested;
    report.error = m_error;
    report.keywords = m_inputs.keywords;
    report.cells = m_cells;
    return report;
}
