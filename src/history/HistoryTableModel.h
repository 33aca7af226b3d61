#pragma once

#include "history/HistoryRecord.h"
#include "history/PositionChange.h"

#include <QAbstractTableModel>
#include <QList>

// The checks of a site as a table, newest first: time, outcome, CY, PageRank, the result of every
// keyword on every engine with its change since that series' previous decided result, the best
// position of the check and its change since the previous check.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit HistoryTableModel(QObject* parent = nullptr);

    // checks oldest first, as the history gives them.
    void setChecks(const QList<RecordedCheck>& checks);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    struct Series {
        QString keyword;
        Engine engine;
        QString engineText; // the caption, or the code of an engine this version does not know
    };
    const QList<Series>& series() const { return m_series; }
    // The change of series s in row r (rows newest first).
    PositionChange change(int row, int series) const;

    static constexpr int kFixedLeadColumns = 4; // time, outcome, CY, PageRank

private:
    // Only what the check holds: a history in which keywords come and go has many series, and
    // each check has results in few of them.
    struct Row {
        const RecordedCheck* check;
        QList<int> seriesOf; // per result of the check, its series
        QList<PositionChange> changes; // per result of the check
        std::optional<int> best;
        PositionChange bestChange;
        // The index of the series' result in the check, or -1.
        qsizetype resultIndex(int series) const { return seriesOf.lastIndexOf(series); }
    };

    QList<RecordedCheck> m_checks; // oldest first
    QList<Series> m_series;
    QList<Row> m_rows; // newest first
};
