#pragma once

#include "history/HistoryRecord.h"

#include <QString>
#include <optional>

// A desktop notification: a summary line and a body.
struct DesktopNotice {
    QString summary;
    QString body;
};

namespace CheckNotice {

// Moves named in a notice in each direction, the biggest first.
constexpr int kMaxMoves = 3;

// The notice after a scheduled check, set against the previous check of the same site: "Позиции
// изменились: SITE", then "3 позиции выросли, 1 позиция упала, 1 позиция пропала", the date of the
// check it compares with, and the biggest rises and falls ("▲ окна пвх, Yandex.ru: 12 → 4"). A
// check that ended in an error, or in which not one request was answered (nothingAnswered holds
// the last error), says that instead. Nothing when no position moved.
std::optional<DesktopNotice> afterCheck(const RecordedCheck& current, const RecordedCheck* previous,
    const std::optional<QString>& nothingAnswered);

// The notice of a scheduled check that could not run, such as one whose project file has moved.
DesktopNotice failed(const QString& projectPath, const QString& message);

} // namespace CheckNotice
