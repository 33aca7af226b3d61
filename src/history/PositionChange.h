#pragma once

#include "history/HistoryRecord.h"

#include <QDateTime>
#include <optional>

// Where a series stands now against its previous decided result.
struct PositionChange {
    enum class Kind {
        NoPrevious, // the first decided result of the series
        Unknown, // this result decides nothing (failed, stopped, unreadable)
        Up, // a smaller position number than before
        Down,
        Same,
        New, // found now, not found before
        Lost, // not found now, found before
        StillMissing, // not found now nor before
    };
    Kind kind = Kind::NoPrevious;
    int steps = 0; // places moved, for Up and Down
    std::optional<int> previous;
    QDateTime previousTime;
};

PositionChange positionChange(std::optional<int> current, Reason currentReason, bool hadPrevious,
    std::optional<int> previous, const QDateTime& previousTime = {});

// A line for a result cell's tooltip: "С прошлой проверки (07.12.2026 10:00): выше на 3 (было 8)".
// Empty for NoPrevious and Unknown.
QString changeNote(const PositionChange& change);
// A short mark for a table cell: "▲3", "▼2", "=", "новая", "потеряна"; empty otherwise.
QString changeMark(const PositionChange& change);
