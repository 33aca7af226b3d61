#include "history/HistoryTableModel.h"

#include <QHash>
#include <QLocale>
#include <algorithm>

namespace {

QString outcomeText(CheckOutcome outcome)
{
    switch (outcome) {
    case CheckOutcome::Completed:
        return QStringLiteral("завершена");
    case CheckOutcome::Stopped:
        return QStringLiteral("остановлена");
    case CheckOutcome::Error:
        return QStringLiteral("ошибка");
    }
    return {};
}

} // namespace

HistoryTableModel::HistoryTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void HistoryTableModel::setChecks(const QList<RecordedCheck>& checks)
{
    beginResetModel();
    m_checks = checks;
    m_series.clear();
    m_rows.clear();

    QHash<std::pair<QString, QString>, int> seriesIndex;
    for (const RecordedCheck& check : m_checks) {
        for (const RecordedResult& result : check.results) {
            const std::pair<QString, QString> key { result.keyword, engineText(result) };
            if (!seriesIndex.contains(key)) {
                seriesIndex.insert(key, int(m_series.size()));
                m_series.append({ result.keyword, result.engine, key.second });
            }
        }
    }

    struct Last {
        bool had = false;
        std::optional<int> position;
        QDateTime time;
    };
    QList<Last> last(m_series.size());
    Last lastBest;
    QList<Row> oldestFirst;
    oldestFirst.reserve(m_checks.size());
    for (const RecordedCheck& check : m_checks) {
        Row row { &check, {}, {}, std::nullopt, {} };
        row.seriesOf.reserve(check.results.size());
        for (const RecordedResult& result : check.results)
            row.seriesOf.append(seriesIndex.value({ result.keyword, engineText(result) }));
        row.changes.resize(check.results.size(), PositionChange { PositionChange::Kind::Unknown, 0, {}, {} });
        bool anyDecided = false;
        for (qsizetype i = 0; i < check.results.size(); ++i) {
            const int s = row.seriesOf[i];
            // A keyword typed twice: its last result stands for the series.
            if (row.resultIndex(s) != i)
                continue;
            const RecordedResult& result = check.results[i];
            if (!result.unknownReason.isEmpty())
                continue; // nothing can be said of a reason this version does not know
            row.changes[i]
                = positionChange(result.position, result.reason, last[s].had, last[s].position, last[s].time);
            if (isDecided(result)) {
                anyDecided = true;
                last[s] = { true, result.position, check.time };
                if (result.position && (!row.best || *result.position < *row.best))
                    row.best = result.position;
            }
        }
        if (anyDecided) {
            row.bestChange = positionChange(row.best, row.best ? Reason::Found : Reason::NotFound,
                lastBest.had, lastBest.position, lastBest.time);
            lastBest = { true, row.best, check.time };
        } else {
            row.bestChange.kind = PositionChange::Kind::Unknown;
        }
        oldestFirst.append(row);
    }
    m_rows.reserve(oldestFirst.size());
    for (auto it = oldestFirst.crbegin(); it != oldestFirst.crend(); ++it)
        m_rows.append(*it);
    endResetModel();
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kFixedLeadColumns + int(m_series.size()) + 2;
}

PositionChange HistoryTableModel::change(int row, int series) const
{
    const Row& shown = m_rows.at(row);
    const qsizetype index = shown.resultIndex(series);
    return index < 0 ? PositionChange { PositionChange::Kind::Unknown, 0, {}, {} } : shown.changes[index];
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const Row& row = m_rows[index.row()];
    const RecordedCheck& check = *row.check;
    const int column = index.column();
    const int series = column - kFixedLeadColumns;
    if (role == Qt::ToolTipRole) {
        if (column == 1 && !check.error.isEmpty())
            return check.error;
        if (series >= 0 && series < int(m_series.size())) {
            const qsizetype index = row.resultIndex(series);
            if (index < 0)
                return {};
            QString tip = reasonText(check.results[index]);
            const QString note = changeNote(row.changes[index]);
            return note.isEmpty() ? tip : tip + u'\n' + note;
        }
        return {};
    }
    if (role == Qt::TextAlignmentRole)
        return column == 0 ? QVariant() : QVariant(Qt::AlignCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case 0:
        return QLocale().toString(check.time.toLocalTime(), QLocale::ShortFormat);
    case 1:
        return outcomeText(check.outcome);
    case 2:
        return check.cy;
    case 3:
        return check.pr;
    default:
        break;
    }
    if (series >= 0 && series < int(m_series.size())) {
        const qsizetype index = row.resultIndex(series);
        if (index < 0)
            return {};
        const QString& text = check.results[index].text;
        const QString mark = changeMark(row.changes[index]);
        return mark.isEmpty() ? text : text + u' ' + mark;
    }
    if (series == int(m_series.size()))
        return row.best ? QVariant(*row.best) : QVariant(QStringLiteral("n/a"));
    return changeMark(row.bestChange);
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case 0:
        return QStringLiteral("Проверка");
    case 1:
        return QStringLiteral("Итог");
    case 2:
        return QStringLiteral("ТИЦ");
    case 3:
        return QStringLiteral("PR");
    default:
        break;
    }
    const int series = section - kFixedLeadColumns;
    if (series >= 0 && series < int(m_series.size()))
        return m_series[series].keyword + u'\n' + m_series[series].engineText;
    if (series == int(m_series.size()))
        return QStringLiteral("Лучшая");
    return QStringLiteral("Изменение");
}
