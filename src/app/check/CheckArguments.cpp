#include "app/check/CheckArguments.h"

#include "history/HistoryLocation.h"
#include "net/ProxyServer.h"
#include "platform/BoundedFile.h"
#include "rank/api/SourceKind.h"
#include "rank/lookup/Engine.h"
#include "rank/lookup/SearchRegion.h"

#include <QFile>
#include <algorithm>
#include <cstring>
#include <iterator>

const QString kCheckUsage = QStringLiteral(
    "Usage: kestrova-check [--json] [--xlsx FILE] [--no-history]\n"
    "                      [--proxy HOST:PORT [--proxy-user USER "
    "[--proxy-pass-file FILE | --proxy-pass PASS]]]\n"
    "                      [--scheduled] [--engines FILE] [--region ID] [--history HISTORY]\n"
    "                      [--source ENGINE=SOURCE ...]\n"
    "                      PROJECT.zlt\n"
    "       kestrova-check --history-csv FILE [--site SITE] [--history HISTORY]\n"
    "       kestrova-check --history-copy FROM TO\n"
    "       kestrova-check --history-sync [--history HISTORY]\n"
    "       kestrova-check --schedule WHEN PROJECT.zlt\n"
    "       kestrova-check --schedules\n"
    "       kestrova-check --check-engines FILE\n"
    "       kestrova-check --version [--engines FILE]\n");

const QString kCheckHelp = kCheckUsage
    + QStringLiteral(
        "\n"
        "Runs the check of the program's start button on a project file, without a window, and prints\n"
        "the result grid (or one JSON object with --json). Every failed, unrecognised or too complex\n"
        "lookup prints one line on standard error; with --json, so does every lookup.\n"
        "\n"
        "Options:\n"
        "  --json                 one JSON object with every cell and the reason behind it\n"
        "  --xlsx FILE            also write the report workbook of the check to FILE\n"
        "  --no-history           do not keep the check in the position history\n"
        "  --proxy HOST:PORT      go through this HTTP proxy instead of the remembered settings\n"
        "  --proxy-user USER      the proxy's user name\n"
        "  --proxy-pass-file FILE the proxy password, the first line of FILE\n"
        "  --proxy-pass PASS      the proxy password; it is blanked in the process list once read,\n"
        "                         but other local users may see it before: the safe ways are the\n"
        "                         environment variable KESTROVA_PROXY_PASSWORD or --proxy-pass-file\n"
        "  --region ID            ask Yandex for the region ID (its lr, e.g. 213 Moscow) in this run\n"
        "                         instead of the project's region\n"
        "  --source ENGINE=SOURCE take ENGINE's results from SOURCE in this run (ENGINE: GoogleCom,\n"
        "                         GoogleRu, YandexRu, RamblerRu, AportRu, MSNCom or Wordstat; SOURCE:\n"
        "                         page, yandex-search-api, serp-json or yandex-wordstat-api, as the\n"
        "                         engine definitions offer them). API keys are read from\n"
        "                         KESTROVA_YANDEX_API_KEY, KESTROVA_YANDEX_FOLDER_ID and "
        "KESTROVA_SERP_API_KEY\n"
        "  --history-csv FILE     write the position history as CSV without a check\n"
        "  --site SITE            with --history-csv: only this site\n"
        "  --history HISTORY      the position history to use: a SQLite file, or a PostgreSQL\n"
        "                         server by a libpq connection string (postgresql://HOST/DB,\n"
        "                         \"host=HOST dbname=DB\" or \"service=NAME\"); the password only in\n"
        "                         ~/.pgpass, PGPASSFILE or the service file, never in the string.\n"
        "                         Default: $KESTROVA_HISTORY, else the file of this computer\n"
        "  --history-copy FROM TO copy every check of one history into another (a file or a\n"
        "                         server each); a check already there is not copied again\n"
        "  --history-sync         send the checks that the server did not take, kept in the file\n"
        "                         of this computer, to the server\n"
        "  --scheduled            the check is run by a timer: after it, a desktop notice tells\n"
        "                         which positions moved since the previous check of the site\n"
        "  --schedule WHEN        check the project by a systemd user timer: daily@HH:MM,\n"
        "                         weekly@DAY@HH:MM (DAY mon ... sun) or off, without a check\n"
        "  --schedules            list every project's schedule with its next run\n"
        "  --engines FILE         ask and read the engines by the engine definitions in FILE\n"
        "                         instead of the user's, the downloaded or the built-in ones\n"
        "  --check-engines FILE   validate an engine definitions file and print what it\n"
        "                         overrides (exit 0), or every problem (exit 2), without a check\n"
        "  --version              the version the program file carries, and on a second line the\n"
        "                         version and source of the engine definitions in use\n"
        "  --help                 this text\n"
        "\n"
        "Every check is kept in the position history ($XDG_DATA_HOME/Tellvik/Kestrova "
        "Sertrix/history.sqlite,\n"
        "or the history KESTROVA_HISTORY or --history names) unless --no-history is given. On a server\n"
        "the tables are in the schema $KESTROVA_HISTORY_SCHEMA (kestrova unless set).\n"
        "\n"
        "Exit status:\n"
        "  0    the check ran to its end\n"
        "  1    an error ended it, or the workbook could not be written\n"
        "  2    bad usage or refused input\n"
        "  3    the check ran to its end but not one request was answered\n"
        "  128+N after the signal N (130 after Ctrl-C, 143 after SIGTERM, 129 after SIGHUP)\n");

namespace {

constexpr qint64 kMaxPasswordFileBytes = 4096;

// The first line of the file, without its line end.
std::variant<QString, UsageError> passwordFromFile(const QString& path)
{
    QString reason;
    const auto bytes = BoundedFile::readOwn(path, kMaxPasswordFileBytes, &reason);
    if (!bytes)
        return UsageError { QStringLiteral("cannot read the password file \"%1\": %2").arg(path, reason) };
    qsizetype end = 0;
    while (end < bytes->size() && bytes->at(end) != '\r' && bytes->at(end) != '\n')
        ++end;
    return QString::fromUtf8(bytes->left(end));
}

} // namespace

void hidePasswordArguments(int argc, char** argv)
{
    // The options that take a value, so that a value spelt like an option is not taken for one.
    static const char* const valueOptions[]
        = { "--xlsx", "--history-csv", "--site", "--proxy", "--proxy-user", "--proxy-pass",
              "--proxy-pass-file", "--engines", "--check-engines", "--schedule", "--region", "--history" };
    static const char kInlinePassword[] = "--proxy-pass=";
    // A connection string that holds a password (or cannot be read) is refused; until then it
    // is not shown either.
    const auto hideRefusedHistory = [](char* value) {
        const QString text = QString::fromLocal8Bit(value);
        if (HistoryLocation::isServer(text) && !HistoryLocation::isAcceptedServer(text))
            std::memset(value, 'x', std::strlen(value));
    };
    static const char kInlineHistory[] = "--history=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kInlineHistory, sizeof kInlineHistory - 1) == 0)
            hideRefusedHistory(argv[i] + sizeof kInlineHistory - 1);
        else if (std::strcmp(argv[i], "--history") == 0 && i + 1 < argc)
            hideRefusedHistory(argv[i + 1]);
        else if (std::strcmp(argv[i], "--history-copy") == 0) {
            for (int value = i + 1; value < argc && value <= i + 2; ++value)
                hideRefusedHistory(argv[value]);
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kInlinePassword, sizeof kInlinePassword - 1) == 0) {
            char* value = argv[i] + sizeof kInlinePassword - 1;
            std::memset(value, 'x', std::strlen(value));
            continue;
        }
        const bool takesValue = std::any_of(std::begin(valueOptions), std::end(valueOptions),
            [&](const char* option) { return std::strcmp(argv[i], option) == 0; });
        if (!takesValue || i + 1 >= argc)
            continue;
        if (std::strcmp(argv[i], "--proxy-pass") == 0)
            std::memset(argv[i + 1], 'x', std::strlen(argv[i + 1]));
        ++i;
    }
}

std::optional<QByteArray> argumentThatIsNoText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray bytes(argv[i]);
        if (QFile::encodeName(QFile::decodeName(bytes)) != bytes)
            return bytes;
    }
    return std::nullopt;
}

namespace {

// "YandexRu=yandex-search-api": an engine's key (or Wordstat) and a source code, each once.
std::optional<UsageError> sourceChoice(const QString& text, SourceChoice& into)
{
    const qsizetype equals = text.indexOf(u'=');
    const QString engine = text.left(equals);
    const QString code = equals < 0 ? QString() : text.mid(equals + 1);
    if (!kSourceCodes.find(code.toUtf8()))
        return UsageError { QStringLiteral(
            "--source needs ENGINE=SOURCE, SOURCE one of page, yandex-search-api, "
            "serp-json, yandex-wordstat-api") };
    QString* slot = nullptr;
    if (engine == QLatin1String("Wordstat"))
        slot = &into.wordstat;
    for (Engine candidate : kEngines) {
        if (engineKey(candidate) == engine)
            slot = &into.engines.at(std::size_t(candidate));
    }
    if (!slot)
        return UsageError { QStringLiteral(
            "--source: unknown engine %1 (GoogleCom, GoogleRu, YandexRu, RamblerRu, "
            "AportRu, MSNCom or Wordstat)")
                                .arg(engine.left(40)) };
    if (!slot->isEmpty())
        return UsageError { QStringLiteral("--source %1 is given twice").arg(engine) };
    *slot = code;
    return std::nullopt;
}

} // namespace

std::variant<CheckArguments, UsageError> parseCheckArguments(const QStringList& arguments)
{
    CheckArguments parsed;
    std::optional<QString> proxy, user, password, passwordFile, xlsx, csv, engines, checkEngines, region,
        copyFrom;
    bool sources = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        // "--opt=VALUE" is "--opt VALUE"; what follows "=" is never repeated in a message, since
        // it may be a password.
        QString argument = arguments[i];
        std::optional<QString> inlineValue;
        if (argument.startsWith(QLatin1String("--")) && argument.contains(u'=')) {
            const qsizetype equals = argument.indexOf(u'=');
            inlineValue = argument.mid(equals + 1);
            argument.truncate(equals);
        }
        auto value = [&](std::optional<QString>& into) -> std::optional<UsageError> {
            if (into)
                return UsageError { argument + QStringLiteral(" is given twice") };
            if (inlineValue) {
                into = *inlineValue;
                return std::nullopt;
            }
            if (i + 1 >= arguments.size())
                return UsageError { argument + QStringLiteral(" needs a value") };
            into = arguments[++i];
            return std::nullopt;
        };
        auto flag = [&](bool& into) -> std::optional<UsageError> {
            if (inlineValue)
                return UsageError { argument + QStringLiteral(" takes no value") };
            into = true;
            return std::nullopt;
        };
        std::optional<UsageError> error;
        if (argument == QLatin1String("--json"))
            error = flag(parsed.json);
        else if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            error = flag(parsed.help);
        else if (argument == QLatin1String("--version"))
            error = flag(parsed.version);
        else if (argument == QLatin1String("--xlsx"))
            error = value(xlsx);
        else if (argument == QLatin1String("--no-history"))
            error = flag(parsed.noHistory);
        else if (argument == QLatin1String("--history-csv"))
            error = value(csv);
        else if (argument == QLatin1String("--site"))
            error = value(parsed.historySite);
        else if (argument == QLatin1String("--history"))
            error = value(parsed.history);
        else if (argument == QLatin1String("--history-sync"))
            error = flag(parsed.historySync);
        else if (argument == QLatin1String("--history-copy")) {
            error = value(copyFrom);
            if (!error && i + 1 >= arguments.size())
                error = UsageError { QStringLiteral("--history-copy needs FROM and TO") };
            if (!error)
                parsed.historyCopyTo = arguments[++i];
        } else if (argument == QLatin1String("--scheduled"))
            error = flag(parsed.scheduled);
        else if (argument == QLatin1String("--schedule"))
            error = value(parsed.schedule);
        else if (argument == QLatin1String("--schedules"))
            error = flag(parsed.listSchedules);
        else if (argument == QLatin1String("--engines"))
            error = value(engines);
        else if (argument == QLatin1String("--check-engines"))
            error = value(checkEngines);
        else if (argument == QLatin1String("--region"))
            error = value(region);
        else if (argument == QLatin1String("--source")) {
            std::optional<QString> choice;
            error = value(choice);
            if (!error)
                error = sourceChoice(*choice, parsed.sources);
            sources = true;
        } else if (argument == QLatin1String("--proxy"))
            error = value(proxy);
        else if (argument == QLatin1String("--proxy-user"))
            error = value(user);
        else if (argument == QLatin1String("--proxy-pass"))
            error = value(password);
        else if (argument == QLatin1String("--proxy-pass-file"))
            error = value(passwordFile);
        else if (argument.startsWith(u'-') && argument != QLatin1String("-"))
            error = UsageError { QStringLiteral("unknown option ") + argument.section(u'=', 0, 0) };
        else if (!parsed.projectPath.isEmpty())
            error = UsageError { QStringLiteral("only one project file can be checked") };
        else
            parsed.projectPath = argument;
        if (error)
            return *error;
    }
    if (engines && engines->isEmpty())
        return UsageError { QStringLiteral("--engines needs a file name") };
    parsed.enginesFile = engines.value_or(QString());
    if (parsed.help || parsed.version)
        return parsed;
    if (parsed.history && parsed.history->isEmpty())
        return UsageError { QStringLiteral("--history needs a file name or a connection string") };
    const bool anyOther = proxy || user || password || passwordFile || parsed.json || parsed.noHistory || xlsx
        || parsed.scheduled || csv || parsed.schedule || parsed.listSchedules || engines || checkEngines
        || parsed.historySite || !parsed.projectPath.isEmpty() || region || sources;
    if (copyFrom) {
        if (copyFrom->isEmpty() || parsed.historyCopyTo.isEmpty())
            return UsageError { QStringLiteral("--history-copy needs FROM and TO") };
        if (anyOther || parsed.historySync || parsed.history)
            return UsageError { QStringLiteral("--history-copy runs no check: give it alone") };
        parsed.historyCopyFrom = *copyFrom;
        return parsed;
    }
    if (parsed.historySync) {
        if (anyOther)
            return UsageError { QStringLiteral("--history-sync runs no check: give only --history with it") };
        return parsed;
    }
    if (parsed.history && (parsed.listSchedules || checkEngines))
        return UsageError { QStringLiteral("--history goes with a check, --schedule or --history-csv") };
    const bool checkOptions = proxy || user || password || passwordFile || parsed.json || parsed.noHistory
        || xlsx || parsed.scheduled || region || sources;
    if (checkEngines) {
        if (checkEngines->isEmpty())
            return UsageError { QStringLiteral("--check-engines needs a file name") };
        if (checkOptions || csv || parsed.schedule || parsed.listSchedules || engines
            || !parsed.projectPath.isEmpty())
            return UsageError { QStringLiteral("--check-engines runs no check: give it alone") };
        parsed.checkEngines = *checkEngines;
        return parsed;
    }
    if (engines && (csv || parsed.schedule || parsed.listSchedules))
        return UsageError { QStringLiteral("--engines goes with a check or --version") };
    if (parsed.listSchedules) {
        if (checkOptions || csv || parsed.schedule || !parsed.projectPath.isEmpty())
            return UsageError { QStringLiteral("--schedules runs no check: give it alone") };
        return parsed;
    }
    if (parsed.schedule) {
        if (checkOptions || csv || engines)
            return UsageError { QStringLiteral(
                "--schedule runs no check: give only the project file with it") };
        if (parsed.projectPath.isEmpty())
            return UsageError { QStringLiteral("--schedule needs a project file") };
        return parsed;
    }
    if (csv) {
        if (csv->isEmpty())
            return UsageError { QStringLiteral("--history-csv needs a file name") };
        if (!parsed.projectPath.isEmpty() || proxy || user || password || passwordFile || parsed.json
            || parsed.noHistory || parsed.scheduled || region || sources)
            return UsageError { QStringLiteral("--history-csv runs no check: give only --site with it") };
        parsed.historyCsv = *csv;
        return parsed;
    }
    if (parsed.historySite)
        return UsageError { QStringLiteral("--site needs --history-csv") };
    if (parsed.projectPath.isEmpty())
        return UsageError { QStringLiteral("no project file given") };
    if (xlsx && xlsx->isEmpty())
        return UsageError { QStringLiteral("--xlsx needs a file name") };
    parsed.xlsxPath = xlsx.value_or(QString());
    if (region) {
        // Digits only: "+213", " 213" or "213.0" are no region id.
        const bool digits = !region->isEmpty() && region->size() <= 9
            && std::all_of(region->begin(), region->end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (!digits || !SearchRegion::isYandexId(region->toLongLong()))
            return UsageError { QStringLiteral("--region needs a Yandex region id from 1 to %1")
                                    .arg(SearchRegion::kMaxYandexId) };
        parsed.yandexRegion = region->toInt();
    }
    if ((user || password || passwordFile) && !proxy)
        return UsageError { QStringLiteral("--proxy-user and --proxy-pass need --proxy") };
    if ((password || passwordFile) && !user)
        return UsageError { QStringLiteral("--proxy-pass needs --proxy-user") };
    if (password && passwordFile)
        return UsageError { QStringLiteral("--proxy-pass and --proxy-pass-file exclude each other") };
    if (passwordFile) {
        auto read = passwordFromFile(*passwordFile);
        if (const auto* error = std::get_if<UsageError>(&read))
            return *error;
        password = std::get<QString>(read);
    }
    if (user && !password && qEnvironmentVariableIsSet("KESTROVA_PROXY_PASSWORD"))
        password = qEnvironmentVariable("KESTROVA_PROXY_PASSWORD");
    if (proxy) {
        const qsizetype colon = proxy->lastIndexOf(u':');
        if (colon <= 0)
            return UsageError { QStringLiteral("--proxy needs HOST:PORT") };
        ConnectionSettings settings;
        settings.useProxy = true;
        settings.server = proxy->left(colon);
        if (!isProxyServerText(settings.server))
            return UsageError { proxyServerError(settings.server) };
        settings.port = proxy->mid(colon + 1);
        settings.user = user.value_or(QString());
        settings.password = password.value_or(QString());
        parsed.proxy = settings;
    }
    return parsed;
}
