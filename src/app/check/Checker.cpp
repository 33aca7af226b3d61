#include "app/check/Checker.h"

#include "app/check/CheckArguments.h"
#include "app/check/CheckDefinitions.h"
#include "app/check/CheckHistory.h"
#include "app/check/CheckReport.h"
#include "app/check/CheckSchedules.h"
#include "app/check/CheckWorkbook.h"
#include "app/check/StopSignalWatcher.h"
#include "contact/FileVersion.h"
#include "history/HistoryCsv.h"
#include "history/HistoryError.h"
#include "history/HistoryRecorder.h"
#include "history/HistoryStore.h"
#include "net/Endpoints.h"
#include "platform/ProgramFile.h"
#include "rank/lookup/EngineDefinitions.h"
#include "rank/run/CheckRun.h"
#include "rank/run/RunHost.h"
#include "sources/SourceChoiceSetting.h"
#include "sources/SourceKeyStore.h"
#include "store/ProgramStores.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QIODevice>

namespace {

// The checker as the host of its check: the connection settings are fixed, messages are kept, and
// the error that ends a check is in the results. The sources are the user's remembered choice with
// the command line's over it; the keys come from the environment, the keyring or the key file.
class CheckerHost : public RunHost {
public:
    CheckerHost(const ConnectionSettings& settings, const SourceChoice& given, bool scheduled, QIODevice& err)
        : m_settings(settings)
        , m_choice(SourceChoiceSetting::load())
        , m_scheduled(scheduled)
        , m_err(err)
    {
        for (std::size_t i = 0; i < m_choice.engines.size(); ++i) {
            if (!given.engines.at(i).isEmpty())
                m_choice.engines.at(i) = given.engines.at(i);
        }
        if (!given.wordstat.isEmpty())
            m_choice.wordstat = given.wordstat;
    }
    ConnectionSettings connectionSettings() const override { return m_settings; }
    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString&) override { }
    bool showsClock() const override { return false; }
    SourceChoice sourceChoice() const override { return m_choice; }
    bool scheduledCheck() const override { return m_scheduled; }
    SourceKeys sourceKeys() const override
    {
        const FoundKeys found = SourceKeyStore().load();
        for (const QString& problem : found.problems)
            writeLine(m_err, QStringLiteral("kestrova-check: ") + problem);
        return found.keys;
    }

    QStringList messages;

private:
    ConnectionSettings m_settings;
    SourceChoice m_choice;
    bool m_scheduled;
    QIODevice& m_err;
};

// A source chosen on the command line that the definitions in force do not offer; empty when all are.
QString sourceNotOffered(const SourceChoice& choice, const EngineDefinitions& definitions)
{
    const auto offered = [](const ApiSourceDefinition& api, const QString& code) {
        return code.isEmpty() || api.inForce(code) == kSourceCodes.find(code.toUtf8());
    };
    for (Engine engine : kEngines) {
        const QString& code = choice.engines.at(std::size_t(engine));
        if (!offered(definitions.engine(engine).api, code))
            return QStringLiteral("--source %1=%2: описания поисковиков не предлагают такого источника")
                .arg(engineKey(engine), code);
    }
    if (!offered(definitions.wordstat.api, choice.wordstat))
        return QStringLiteral("--source Wordstat=%1: описания поисковиков не предлагают такого источника")
            .arg(choice.wordstat);
    return {};
}

// The latest check of the site before this one, which a scheduled check's notice compares with.
std::optional<RecordedCheck> previousCheck(const HistoryStore& history, const QString& site)
{
    try {
        return history.latestCheck(site);
    } catch (const HistoryError&) {
        // The check is recorded, or its failure told, when it ends.
    }
    return std::nullopt;
}

} // namespace

int runChecker(const QStringList& arguments, QIODevice& out, QIODevice& err)
{
    const auto parsed = parseCheckArguments(arguments);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        writeLine(err, QStringLiteral("kestrova-check: ") + usage->text);
        err.write(kCheckUsage.toUtf8());
        return kExitUsage;
    }
    const CheckArguments& options = std::get<CheckArguments>(parsed);
    if (options.help) {
        out.write(kCheckHelp.toUtf8());
        return kExitDone;
    }
    if (!options.checkEngines.isEmpty())
        return checkEnginesFile(options.checkEngines, out, err);
    if (options.version) {
        if (!loadCheckDefinitions(options.enginesFile, err))
            return kExitUsage;
        writeLine(out, GetFileVersionText(ProgramFile::readablePath()));
        writeLine(out, definitionsVersionLine(*EngineDefinitions::current()));
        return kExitDone;
    }
    if (!options.historyCsv.isEmpty())
        return exportHistory(options, err);
    if (!options.historyCopyFrom.isEmpty())
        return copyHistory(options, err);
    if (options.historySync)
        return syncHistory(options, err);
    if (options.schedule)
        return setCheckSchedule(options, out, err);
    if (options.listSchedules)
        return listCheckSchedules(out);

    const QString historyLocation = checkHistoryLocation(options);
    if (!options.noHistory && !acceptHistoryLocation(historyLocation, err)) {
        if (options.scheduled)
            noticeScheduledFailure(
                options.projectPath, QStringLiteral("строка подключения к истории не принята"));
        return kExitUsage;
    }
    Project project;
    ProgramStores::Connection remembered;
    try {
        Endpoints::current();
        project = ProgramStores::readProjectFile(options.projectPath);
        if (options.yandexRegion)
            project.region.yandex = *options.yandexRegion;
        if (!loadCheckDefinitions(options.enginesFile, err)) {
            if (options.scheduled)
                noticeScheduledFailure(
                    options.projectPath, QStringLiteral("файл описаний поисковых систем не принят"));
            return kExitUsage;
        }
        if (const QString problem = sourceNotOffered(options.sources, *EngineDefinitions::current());
            !problem.isEmpty()) {
            writeLine(err, QStringLiteral("kestrova-check: ") + problem);
            return kExitUsage;
        }
        if (!options.proxy)
            ProgramStores::restoreConnection(remembered);
    } catch (const std::exception& e) {
        writeLine(err, QString::fromUtf8(e.what()));
        if (options.scheduled)
            noticeScheduledFailure(options.projectPath, QString::fromUtf8(e.what()));
        return kExitUsage;
    }

    CheckerHost host(
        options.proxy ? *options.proxy : remembered.settings(), options.sources, options.scheduled, err);
    ProjectResults results;
    CheckRun run(project, results, host);
    bool started = false;
    QObject::connect(&run, &CheckRun::started, [&started] { started = true; });
    // The table names every result; without --json standard error keeps to the troubles.
    if (options.json) {
        QObject::connect(&run, &CheckRun::apiRequestsPlanned,
            [&] { writeLine(err, CheckRun::apiRequestsPlannedText(results.apiRequestsPlanned)); });
        QObject::connect(&run, &CheckRun::lookupDone,
            [&](Engine engine, int n) { writeLine(err, formatProgress(engine, n, results)); });
    }
    HistoryStore history(historyLocation);
    history.setProblemHandler([&err](const QString& text) { writeLine(err, text); });
    const QString projectPath = QFileInfo(options.projectPath).absoluteFilePath();
    HistoryRecorder recorder(history, [projectPath] { return projectPath; });
    recorder.setDefinitionsVersion(EngineDefinitions::current()->version);
    if (!options.noHistory)
        run.setObserver(&recorder);
    const std::optional<RecordedCheck> previous
        = options.scheduled ? previousCheck(history, project.site) : std::nullopt;
    StopSignalWatcher stopSignals;
    QObject::connect(&stopSignals, &StopSignalWatcher::interrupt, &run, &CheckRun::requestStop);
    run.ButtonClick();

    if (!started) {
        for (const QString& message : host.messages)
            writeLine(err, message);
        if (options.scheduled)
            noticeScheduledFailure(options.projectPath, host.messages.join(u'\n'));
        return kExitUsage;
    }
    out.write(options.json ? formatJson(project, results) : formatTable(project, results).toUtf8());
    if (!options.json) {
        for (const QString& line : formatTroubles(results))
            writeLine(err, line);
    }
    if (results.error)
        writeLine(err, *results.error);
    if (options.scheduled && recorder.lastWritten())
        noticeScheduledCheck(
            recorder.lastRecorded(), previous ? &*previous : nullptr, results.nothingAnswered);
    if (!options.xlsxPath.isEmpty()) {
        try {
            writeCheckWorkbook(project, results, options.projectPath, options.xlsxPath, QDate::currentDate());
        } catch (const std::exception& e) {
            writeLine(err,
                QStringLiteral("kestrova-check: книга %1 не записана: %2")
                    .arg(options.xlsxPath, QString::fromUtf8(e.what())));
            return kExitError;
        }
    }
    if (stopSignals.interrupted())
        return kExitSignalBase + stopSignals.signalNumber();
    if (results.error)
        return kExitError;
    if (results.nothingAnswered) {
        writeLine(err, CheckRun::kNothingAnsweredMessage.arg(*results.nothingAnswered));
        return kExitNothingAnswered;
    }
    return kExitDone;
}
