#include "app/check/CheckHistory.h"

#include "app/check/CheckArguments.h"
#include "app/check/Checker.h"
#include "history/HistoryCsv.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryError.h"
#include "history/HistoryLocation.h"
#include "history/HistoryStore.h"
#include "history/PgConnection.h"

#include <QIODevice>

namespace {

// A copy says how far it is after every so many checks.
constexpr qint64 kProgressEvery = 1000;

void say(QIODevice& err, const QString& text)
{
    writeLine(err, QStringLiteral("kestrova-check: ") + text);
}

} // namespace

QString checkHistoryLocation(const CheckArguments& options)
{
    return options.history.value_or(HistoryLocation::configured());
}

bool acceptHistoryLocation(const QString& location, QIODevice& err)
{
    if (!HistoryLocation::isServer(location))
        return true;
    try {
        PgConnection::checkConninfo(location);
    } catch (const HistoryError& e) {
        say(err, e.message());
        return false;
    }
    return true;
}

int exportHistory(const CheckArguments& options, QIODevice& err)
{
    const QString location = checkHistoryLocation(options);
    if (!acceptHistoryLocation(location, err))
        return kExitUsage;
    try {
        const HistoryStore store(location);
        writeHistoryCsv(options.historyCsv, store, options.historySite ? &*options.historySite : nullptr);
    } catch (const HistoryError& e) {
        say(err, e.message());
        return kExitError;
    }
    return kExitDone;
}

int copyHistory(const CheckArguments& options, QIODevice& err)
{
    if (!acceptHistoryLocation(options.historyCopyFrom, err)
        || !acceptHistoryLocation(options.historyCopyTo, err))
        return kExitUsage;
    qint64 read = 0, copied = 0;
    try {
        const auto from = HistoryLocation::open(options.historyCopyFrom, HistoryDatabase::kBusyTimeoutMs);
        const auto to = HistoryLocation::open(options.historyCopyTo, HistoryDatabase::kBusyTimeoutMs);
        from->forEachCheck(nullptr, [&](const RecordedCheck& check) {
            if (to->record(check) != 0)
                ++copied;
            if (++read % kProgressEvery == 0)
                say(err, QStringLiteral("прочитано проверок: %1, скопировано: %2").arg(read).arg(copied));
        });
    } catch (const HistoryError& e) {
        say(err, e.message());
        say(err,
            QStringLiteral("копирование прервано: прочитано проверок %1, скопировано %2; повторите его — "
                           "скопированные проверки не будут записаны дважды")
                .arg(read)
                .arg(copied));
        return kExitError;
    }
    say(err, QStringLiteral("скопировано проверок: %1, уже были: %2").arg(copied).arg(read - copied));
    return kExitDone;
}

int syncHistory(const CheckArguments& options, QIODevice& err)
{
    const QString location = checkHistoryLocation(options);
    if (!HistoryLocation::isServer(location)) {
        say(err,
            QStringLiteral("--history-sync отправляет проверки в общую историю: назовите её в --history "
                           "или в KESTROVA_HISTORY"));
        return kExitUsage;
    }
    if (!acceptHistoryLocation(location, err))
        return kExitUsage;
    qint64 sent = 0;
    try {
        HistoryDatabase local(HistoryDatabase::defaultPath());
        const auto server = HistoryLocation::open(location, HistoryDatabase::kBusyTimeoutMs);
        local.forEachPendingCheck([&](const RecordedCheck& check, const QString&) {
            // A check the server took before its answer was lost is not written again.
            server->record(check);
            local.markSent(check.uid);
            ++sent;
        });
    } catch (const HistoryError& e) {
        say(err, e.message());
        say(err,
            QStringLiteral("отправлено проверок: %1; остальные ждут следующего --history-sync").arg(sent));
        return kExitError;
    }
    say(err, QStringLiteral("отправлено проверок: %1").arg(sent));
    return kExitDone;
}
