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

// Moves named in a notice, the biggest first.
constexpr int kMaxMoves = 3;

// The notice after a scheduled check, set against the previous check of the same site: the site,
// then "3 выше, 1 ниже, 1 пропал", then the biggest moves ("окна пвх, Yandex.ru: 12 → 4"). A
// check that ended in an error, or in which not one request was answered (nothingAnswered holds
// the last error), says that instead. Nothing when no position moved.
std::optional<DesktopNotice> afterCheck(const RecordedCheck& current, const RecordedCheck* previous,
    const std::optional<QString>& nothingAnswered);

// The notice of a scheduled check that could not run, such as one whose project file has moved.
DesktopNotice failed(const QString& projectPath, const QString& message);

} // namespace CheckNotice
