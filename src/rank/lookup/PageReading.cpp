#include "rank/lookup/PageReading.h"

#include "rank/api/SiteLink.h"
#include "rank/pattern/PatternLiterals.h"

const char kSiteAddressError[] = "Ошибка шаблона в адресе сайта: ";

void compileWithSiteAddress(RegExpr& pattern)
{
    try {
        pattern.compile();
    } catch (const EPageTooComplex&) {
        throw;
    } catch (const ERegExpr& e) {
        throw ERegExpr(kSiteAddressError + std::string(e.what()));
    }
}

PageReader::PageReader(const EngineDefinition& row, const QByteArray& siteKey)
    : m_row(row)
    , m_siteKey(siteKey)
    , m_entries(row.resultPattern)
{
    if (row.pageRule == PageRule::EngineNumbered)
        m_siteEntry.emplace(row.resultPattern + siteKey);
}

PageReading PageReader::read(const QByteArray& page, int pageIndex)
{
    if (m_row.pageRule == PageRule::EngineNumbered) {
        PageReading reading = readNumbered(page);
        reading.budgetUsed = m_siteEntry->budgetUsed();
        reading.attempts = m_siteEntry->attempts();
        if (!reading.position) {
            reading.budgetUsed += m_entries.budgetUsed();
            reading.attempts += m_entries.attempts();
        }
        return reading;
    }
    PageReading reading = readCounted(page, pageIndex);
    reading.budgetUsed = m_entries.budgetUsed();
    reading.attempts = m_entries.attempts();
    return reading;
}

PageReading PageReader::readCounted(const QByteArray& page, int pageIndex)
{
    PageReading reading;
    if (!m_entries.exec(page))
        return reading;
    do {
        ++reading.entries;
        if (linkNamesSite(page, m_entries.matchPos(m_row.linkGroup), m_entries.matchLen(m_row.linkGroup))) {
            reading.position = QByteArray::number(m_row.pageSize * pageIndex + reading.entries);
            return reading;
        }
    } while (m_entries.execNext());
    return reading;
}

// The rule API answers are matched by as well.
bool PageReader::linkNamesSite(const QByteArray& page, qsizetype linkPos, qsizetype linkLen) const
{
    return linkPos >= 0 && linkHoldsSiteKey(QByteArrayView(page).sliced(linkPos, linkLen), m_siteKey);
}

PageReading PageReader::readNumbered(const QByteArray& page)
{
    compileWithSiteAddress(*m_siteEntry);
    PageReading reading;
    if (m_siteEntry->exec(page)) {
        reading.position = m_siteEntry->match(1);
        reading.entries = 1;
        return reading;
    }
    // One budget for the page: counting its entries takes what the search for the site left.
    PageBudget left;
    left.baseUnits -= m_siteEntry->budgetUsed();
    m_entries.setBudget(left);
    // The page was read up to its first NUL already.
    for (bool more = m_entries.exec(page, m_siteEntry->searchedLength()); more; more = m_entries.execNext())
        ++reading.entries;
    return reading;
}

PageReading readResultPage(
    const EngineDefinition& row, const QByteArray& page, const QByteArray& siteKey, int pageIndex)
{
    PageReader reader(row, siteKey);
    return reader.read(page, pageIndex);
}
