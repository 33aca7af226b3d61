#include "history/PositionChange.h"

#include <QLocale>
#include <QTimeZone>

PositionChange positionChange(std::optional<int> current, Reason currentReason, bool hadPrevious,
    std::optional<int> previous, const QDateTime& previousTime)
{
    PositionChange change;
    change.previous = previous;
    change.previousTime = previousTime;
    if (!hadPrevious) {
        change.kind = PositionChange::Kind::NoPrevious;
        return change;
    }
    if (!isDecided(currentReason) || (currentReason == Reason::Found && !current)) {
        change.kind = PositionChange::Kind::Unknown;
        return change;
    }
    if (current && previous) {
        change.steps = *previous - *current;
        change.kind = change.steps > 0 ? PositionChange::Kind::Up
            : change.steps < 0         ? PositionChange::Kind::Down
                                       : PositionChange::Kind::Same;
        change.steps = std::abs(change.steps);
    } else if (current) {
        change.kind = PositionChange::Kind::New;
    } else if (previous) {
        change.kind = PositionChange::Kind::Lost;
    } else {
        change.kind = PositionChange::Kind::StillMissing;
    }
    return change;
}

QString changeNote(const PositionChange& change)
{
    QString what;
    switch (change.kind) {
    case PositionChange::Kind::NoPrevious:
    case PositionChange::Kind::Unknown:
        return {};
    case PositionChange::Kind::Up:
        what = QStringLiteral("выше на %1 (было %2)").arg(change.steps).arg(*change.previous);
        break;
    case PositionChange::Kind::Down:
        what = QStringLiteral("ниже на %1 (было %2)").arg(change.steps).arg(*change.previous);
        break;
    case PositionChange::Kind::Same:
        what = QStringLiteral("без изменений");
        break;
    case PositionChange::Kind::New:
        what = QStringLiteral("новая (раньше не найдена)");
        break;
    case PositionChange::Kind::Lost:
        what = QStringLiteral("потеряна (было %1)").arg(*change.previous);
        break;
    case PositionChange::Kind::StillMissing:
        what = QStringLiteral("не найден и раньше");
        break;
    }
    if (!change.previousTime.isValid())
        return QStringLiteral("С прошлой проверки: ") + what;
    const QString when = QLocale().toString(change.previousTime.toLocalTime(), QLocale::ShortFormat);
    return QStringLiteral("С прошлой проверки (%1): %2").arg(when, what);
}

QString changeMark(const PositionChange& change)
{
    switch (change.kind) {
    case PositionChange::Kind::Up:
        return QStringLiteral("▲%1").arg(change.steps);
    case PositionChange::Kind::Down:
        return QStringLiteral("▼%1").arg(change.steps);
    case PositionChange::Kind::Same:
        return QStringLiteral("=");
    case PositionChange::Kind::New:
        return QStringLiteral("новая");
    case PositionChange::Kind::Lost:
        return QStringLiteral("потеряна");
    case PositionChange::Kind::NoPrevious:
    case PositionChange::Kind::Unknown:
    case PositionChange::Kind::StillMissing:
        break;
    }
    return {};
}
