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

// A keyword, a site or a file name is shown at most this long; the whole body at most kMaxBody.
constexpr qsizetype kMaxNamed = 80;
constexpr qsizetype kMaxBody = 600;

QString cut(const QString& text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype end = limit - 1;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end) + QChar(0x2026);
}

// The text without control, format and separator characters (which would break or hide the
// notice's lines), cut with "…". A message of several lines keeps its line ends.
QString shown(const QString& text, qsizetype limit = kMaxNamed, bool keepLineEnds = false)
{
    QString clean;
    clean.reserve(std::min(text.size(), limit + 1));
    for (const QChar c : text) {
        if (keepLineEnds && c == u'\n') {
            clean += c;
            continue;
        }
        switch (c.category()) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            continue;
        default:
            clean += c;
        }
        if (clean.size() > limit)
            break;
    }
    return cut(clean, limit);
}

QString bodyOf(const QStringList& lines)
{
    return cut(lines.join(u'\n'), kMaxBody);
}

QString placeText(std::optional<int> position)
{
    return position ? QString::number(*position) : QStringLiteral("нет");
}

// The Russian form for a count: one ("1", "21"), few ("2"-"4", "22") or many ("5", "11"-"14").
const char* byCount(int count, const char* one, const char* few, const char* many)
{
    const int lastTwo = count % 100;
    const int last = count % 10;
    if (lastTwo >= 11 && lastTwo <= 14)
        return many;
    return last == 1 ? one : last >= 2 && last <= 4 ? few : many;
}

// "1 позиция выросла", "3 позиции выросли", "11 позиций выросли": the noun and the verb agree
// with the count.
QString counted(int count, const char* verbOne, const char* verbMany)
{
    return QStringLiteral("%1 %2 %3")
        .arg(count)
        .arg(QString::fromUtf8(byCount(count, "позиция", "позиции", "позиций")),
            QString::fromUtf8(byCount(count, verbOne, verbMany, verbMany)));
}

bool isRise(const Move& move)
{
    return move.change.kind == PositionChange::Kind::Up || move.change.kind == PositionChange::Kind::New;
}

// "2 ячейки не проверены: поисковик блокирует запросы (Yandex.ru)": the results of one reason that
// an engine or its API source refused, told apart from the moves; empty when there is none.
QString uncheckedLine(const RecordedCheck& current, Reason reason, const QString& why)
{
    int unchecked = 0;
    QStringList engines;
    for (const RecordedResult& result : current.results) {
        if (result.reason != reason || !result.unknownReason.isEmpty())
            continue;
        ++unchecked;
        if (!engines.contains(engineCaption(result.engine)))
            engines << engineCaption(result.engine);
    }
    if (!unchecked)
        return {};
    const char* cells
        = byCount(unchecked, "ячейка не проверена", "ячейки не проверены", "ячеек не проверены");
    return QStringLiteral("%1 %2: %3 (%4)")
        .arg(unchecked)
        .arg(QString::fromUtf8(cells), why, engines.join(QStringLiteral(", ")));
}

// The cells a refusal left unchecked: those an engine blocked, then those an API source refused.
QString blockedLine(const RecordedCheck& current)
{
    QStringList lines;
    for (const auto& [reason, why] :
        { std::pair { Reason::Blocked, QStringLiteral("поисковик блокирует запросы") },
            std::pair {
                Reason::Refused, QStringLiteral("источник результатов отказал, см. подсказку ячейки") } }) {
        if (const QString line = uncheckedLine(current, reason, why); !line.isEmpty())
            lines << line;
    }
    return lines.join(u'\n');
}

} // namespace

namespace CheckNotice {

std::optional<DesktopNotice> afterCheck(const RecordedCheck& current, const RecordedCheck* previous,
    const std::optional<QString>& nothingAnswered)
{
    if (current.outcome == CheckOutcome::Error)
        return DesktopNotice { shown(current.site),
            bodyOf(
                { QStringLiteral("Проверка прервана ошибкой: ") + shown(current.error, kMaxBody, true) }) };
    if (nothingAnswered)
        return DesktopNotice { shown(current.site),
            bodyOf({ QStringLiteral("Ни один запрос не получил ответа. Последняя ошибка: ")
                + shown(*nothingAnswered, kMaxBody, true) }) };
    const QString blocked = blockedLine(current);
    const auto blockedOnly = [&]() -> std::optional<DesktopNotice> {
        if (blocked.isEmpty())
            return std::nullopt;
        return DesktopNotice { QStringLiteral("Позиции не проверены: ") + shown(current.site), blocked };
    };
    if (!previous)
        return blockedOnly();
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
        return blockedOnly();
    QStringList counts;
    if (up)
        counts << counted(up, "выросла", "выросли");
    if (down)
        counts << counted(down, "упала", "упали");
    if (lost)
        counts << counted(lost, "пропала", "пропали");
    if (found)
        counts << counted(found, "появилась", "появились");
    std::stable_sort(
        moves.begin(), moves.end(), [](const Move& a, const Move& b) { return a.weight() > b.weight(); });
    QStringList lines { counts.join(QStringLiteral(", ")) };
    if (previous->time.isValid())
        lines << QStringLiteral("по сравнению с проверкой %1")
                     .arg(previous->time.toLocalTime().date().toString(QStringLiteral("dd.MM.yyyy")));
    if (!blocked.isEmpty())
        lines << blocked;
    // The biggest rises, then the biggest falls.
    for (const bool rises : { true, false }) {
        int shownMoves = 0;
        for (const Move& move : moves) {
            if (isRise(move) != rises || shownMoves == kMaxMoves)
                continue;
            ++shownMoves;
            lines << QStringLiteral("%1 %2, %3: %4 → %5")
                         .arg(rises ? QStringLiteral("▲") : QStringLiteral("▼"), shown(move.result->keyword),
                             engineCaption(move.result->engine), placeText(move.change.previous),
                             placeText(move.result->position));
        }
    }
    return DesktopNotice { QStringLiteral("Позиции изменились: ") + shown(current.site), bodyOf(lines) };
}

DesktopNotice failed(const QString& projectPath, const QString& message)
{
    return DesktopNotice { QStringLiteral("Проверка по расписанию не выполнена"),
        bodyOf({ shown(QFileInfo(projectPath).fileName()) + QStringLiteral(": ")
            + shown(message, kMaxBody, true) }) };
}

} // namespace CheckNotice
