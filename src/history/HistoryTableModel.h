#pragma once

#include "history/HistoryRecord.h"
#include "history/PositionChange.h"
#include "history/SiteHistory.h"

#include <QAbstractTableModel>
#include <QList>
#include <vector>

// The checks of a site as a table, newest first: time, outcome, CY, PageRank, the result of every
// keyword on every engine with its change since that series' previous decided result, the best
// position of the check and its change since the previous check, the machine and the user that ran it.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HistoryTableModel(QObject* parent = nullptr);

    void setHistory(SiteHistory history);
    // checks oldest first, as the history gives them.
    void setChecks(const QList<RecordedCheck>& checks);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    using Series = SiteHistory::Series;
    const QList<Series>& series() const { return m_history.series(); }
    const SiteHistory& history() const { return m_history; }
    // The change of series s in row r (rows newest first).
    PositionChange change(int row, int series) const;

    static constexpr int kFixedLeadColumns = 4; // time, outcome, CY, PageRank

private:
    // A cell is worked out when it is shown, from the results and checks the history links.
    qsizetype checkOfRow(int row) const { return m_history.checkCount() - 1 - row; }
    // The index of the series' result in the check, or -1.
    int resultIndex(qsizetype check, int series) const;
    PositionChange changeOf(int result) const;
    std::optional<int> best(qsizetype check) const;
    PositionChange bestChange(qsizetype check) const;

    SiteHistory m_history;
};
