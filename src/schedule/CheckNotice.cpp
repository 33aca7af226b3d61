#include "schedule/CheckNotice.h"

#include "history/PositionChange.h"

#include <QFileInfo>
#include <algorithm>

namespace {

struct Move {
    const RecordedResult* result;
    PositionChange change;
    // Losing or gaining a place is the biggest news, then the most places moved.
    int weight() const
    {
        constexpr int kPlaceWon = 100000;
        if (change.kind == PositionChange::Kind::Lost)
            return kPlaceWon - *change.previous;
        if (change.kind == PositionChange::Kind::New)
            return kPlaceWon - *result->position;
        return change.steps;
    }
};

QString placeText(std::optional<int> position)
{
    return position ? QString::number(*position) : QStringLiteral("нет");
}

// "1 пропал", "2 пропали": the verb agrees with the count.
QString counted(int count, const char* one, const char* many)
{
    const bool single = count % 10 == 1 && count % 100 != 11;
    return QStringLiteral("%1 %2").arg(count).arg(QString::fromUtf8(single ? one : many));
}

// "2 ячейки не проверены: поисковик блокирует запросы (Yandex.ru)": the results an engine refused,
// told apart from the moves; empty when none was refused.
QString blockedLine(const RecordedCheck& current)
{
    int blocked = 0;
    QStringList engines;
    for (const RecordedResult& result : current.results) {
        if (result.reason != Reason::Blocked || !result.unknownReason.isEmpty())
            continue;
        ++blocked;
        if (!engines.contains(engineCaption(result.engine)))
            engines << engineCaption(result.engine);
    }
    if (!blocked)
        return {};
    const int tens = blocked % 100, ones = blocked % 10;
    const char* cells = (ones == 1 && tens != 11)              ? "ячейка не проверена"
        : (ones >= 2 && ones <= 4 && (tens < 12 || tens > 14)) ? "ячейки не проверены"
                                                               : "ячеек не проверены";
    return QStringLiteral("%1 %2: поисковик блокирует запросы (%3)")
        .arg(blocked)
        .arg(QString::fromUtf8(cells), engines.join(QStringLiteral(", ")));
}

} // namespace

namespace CheckNotice {

std::optional<DesktopNotice> afterCheck(const RecordedCheck& current, const RecordedCheck* previous,
    const std::optional<QString>& nothingAnswered)
{
    if (current.outcome == CheckOutcome::Error)
        return DesktopNotice { current.site, QStringLiteral("Проверка прервана ошибкой: ") + current.error };
    if (nothingAnswered)
        return DesktopNotice { current.site,
            QStringLiteral("Ни один запрос не получил ответа. Последняя ошибка: ") + *nothingAnswered };
    const QString blocked = blockedLine(current);
    if (!previous)
        return blocked.isEmpty() ? std::nullopt : std::optional(DesktopNotice { current.site, blocked });
    QList<Move> moves;
    int up = 0, down = 0, lost = 0, found = 0;
    for (const RecordedResult& result : current.results) {
        const RecordedResult* before = previous->result(result.keyword, result.engine);
        if (!before || !isDecided(before->reason))
            continue;
        const PositionChange change = positionChange(result.position, result.reason, true, before->position);
        switch (change.kind) {
        case PositionChange::Kind::Up:
            ++up;
            break;
        case PositionChange::Kind::Down:
            ++down;
            break;
        case PositionChange::Kind::Lost:
            ++lost;
            break;
        case PositionChange::Kind::New:
            ++found;
            break;
        default:
            continue;
        }
        moves << Move { &result, change };
    }
    if (moves.isEmpty())
        return blocked.isEmpty() ? std::nullopt : std::optional(DesktopNotice { current.site, blocked });
    QStringList counts;
    if (up)
        counts << QStringLiteral("%1 выше").arg(up);
    if (down)
        counts << QStringLiteral("%1 ниже").arg(down);
    if (lost)
        counts << counted(lost, "пропал", "пропали");
    if (found)
        counts << counted(found, "появился", "появились");
    std::stable_sort(
        moves.begin(), moves.end(), [](const Move& a, const Move& b) { return a.weight() > b.weight(); });
    QStringList lines { counts.join(QStringLiteral(", ")) };
    if (!blocked.isEmpty())
        lines << blocked;
    for (qsizetype i = 0; i < std::min<qsizetype>(moves.size(), kMaxMoves); ++i) {
        const Move& move = moves[i];
        lines << QStringLiteral("%1, %2: %3 → %4")
                     .arg(move.result->keyword, engineCaption(move.result->engine),
                         placeText(move.change.previous), placeText(move.result->position));
    }
    return DesktopNotice { current.site, lines.join(u'\n') };
}

DesktopNotice failed(const QString& projectPath, const QString& message)
{
    return DesktopNotice { QStringLiteral("Проверка по расписанию не выполнена"),
        QFileInfo(projectPath).fileName() + QStringLiteral(": ") + message };
}

} // namespace CheckNotice
