#include "history/HistoryTableModel.h"

#include <QLocale>
#include <algorithm>

HistoryTableModel::HistoryTableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void HistoryTableModel::setChecks(const QList<RecordedCheck>& checks)
{
    setHistory(SiteHistory::of(checks));
}

void HistoryTableModel::setHistory(SiteHistory history)
{
    beginResetModel();
    m_history = std::move(history);
    endResetModel();
}

int HistoryTableModel::resultIndex(qsizetype check, int series) const
{
    const std::vector<SiteHistory::Result>& results = m_history.results();
    for (int i = m_history.resultsEnd(check) - 1; i >= m_history.resultsBegin(check); --i) {
        if (results[std::size_t(i)].series == series)
            return i;
    }
    return -1;
}

PositionChange HistoryTableModel::changeOf(int index) const
{
    const int previous = m_history.previousOf(index);
    if (previous == SiteHistory::kStandsForNothing)
        return PositionChange { PositionChange::Kind::Unknown, 0, {}, {} };
    const SiteHistory::Result& result = m_history.results()[std::size_t(index)];
    if (previous < 0)
        return positionChange(result.optionalPosition(), result.reason, false, std::nullopt);
    return positionChange(result.optionalPosition(), result.reason, true,
        m_history.results()[std::size_t(previous)].optionalPosition(),
        m_history.time(m_history.checkOf(previous)));
}

std::optional<int> HistoryTableModel::best(qsizetype check) const
{
    std::optional<int> best;
    for (int i = m_history.resultsBegin(check); i < m_history.resultsEnd(check); ++i) {
        const SiteHistory::Result& result = m_history.results()[std::size_t(i)];
        if (m_history.previousOf(i) != SiteHistory::kStandsForNothing && result.decided()
            && result.optionalPosition() && (!best || result.position < *best))
            best = result.position;
    }
    return best;
}

PositionChange HistoryTableModel::bestChange(qsizetype check) const
{
    const int previous = m_history.previousDecidingOf(check);
    if (previous == SiteHistory::kStandsForNothing)
        return PositionChange { PositionChange::Kind::Unknown, 0, {}, {} };
    const std::optional<int> now = best(check);
    if (previous < 0)
        return positionChange(now, now ? Reason::Found : Reason::NotFound, false, std::nullopt);
    return positionChange(
        now, now ? Reason::Found : Reason::NotFound, true, best(previous), m_history.time(previous));
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_history.checkCount());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kFixedLeadColumns + int(series().size()) + 4;
}

PositionChange HistoryTableModel::change(int row, int series) const
{
    const int index = resultIndex(checkOfRow(row), series);
    return index < 0 ? PositionChange { PositionChange::Kind::Unknown, 0, {}, {} } : changeOf(index);
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const qsizetype checkIndex = checkOfRow(index.row());
    const SiteHistory::Check& check = m_history.check(checkIndex);
    const int column = index.column();
    const int seriesCount = int(series().size());
    const int series = column - kFixedLeadColumns;
    if (role == Qt::ToolTipRole) {
        if (column == 1 && !m_history.text(check.error).isEmpty())
            return m_history.text(check.error);
        if (series >= 0 && series < seriesCount) {
            const int result = resultIndex(checkIndex, series);
            if (result < 0)
                return {};
            const SiteHistory::Result& shown = m_history.results()[std::size_t(result)];
            QString tip
                = shown.unknownReason >= 0 ? m_history.text(shown.unknownReason) : reasonCode(shown.reason);
            const QString note = changeNote(changeOf(result));
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
        return QLocale().toString(m_history.time(checkIndex).toLocalTime(), QLocale::ShortFormat);
    case 1:
        return outcomeText(check.outcome);
    case 2:
        return m_history.text(check.cy);
    case 3:
        return m_history.text(check.pr);
    default:
        break;
    }
    if (series >= 0 && series < seriesCount) {
        const int result = resultIndex(checkIndex, series);
        if (result < 0)
            return {};
        const QString& text = m_history.text(m_history.results()[std::size_t(result)].text);
        const QString mark = changeMark(changeOf(result));
        return mark.isEmpty() ? text : text + u' ' + mark;
    }
    if (series == seriesCount) {
        const std::optional<int> shown = best(checkIndex);
        return shown ? QVariant(*shown) : QVariant(QStringLiteral("n/a"));
    }
    if (series == seriesCount + 1)
        return changeMark(bestChange(checkIndex));
    return m_history.text(series == seriesCount + 2 ? check.host : check.user);
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
    if (series >= 0 && series < int(this->series().size()))
        return this->series()[series].keyword + u'\n' + this->series()[series].engineText;
    if (series == int(this->series().size()))
        return QStringLiteral("Лучшая");
    if (series == int(this->series().size()) + 1)
        return QStringLiteral("Изменение");
    return series == int(this->series().size()) + 2 ? QStringLiteral("Компьютер")
                                                    : QStringLiteral("Пользователь");
}
