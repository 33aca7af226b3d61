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
    "Использование:\n"
    "  kestrova-check [--json] [--xlsx ФАЙЛ] [--no-history]\n"
    "                 [--proxy ХОСТ:ПОРТ [--proxy-user ИМЯ [--proxy-pass-file ФАЙЛ | --proxy-pass ПАРОЛЬ]]]\n"
    "                 [--scheduled] [--engines ФАЙЛ] [--region ID] [--history ИСТОРИЯ]\n"
    "                 [--source ПОИСКОВИК=ИСТОЧНИК ...]\n"
    "                 ПРОЕКТ.zlt\n"
    "  kestrova-check --history-csv ФАЙЛ [--site САЙТ] [--history ИСТОРИЯ]\n"
    "  kestrova-check --history-copy ОТКУДА КУДА\n"
    "  kestrova-check --history-sync [--history ИСТОРИЯ]\n"
    "  kestrova-check --schedule КОГДА ПРОЕКТ.zlt\n"
    "  kestrova-check --schedules\n"
    "  kestrova-check --check-engines ФАЙЛ\n"
    "  kestrova-check --version [--engines ФАЙЛ]\n");

const QString kCheckHelp = kCheckUsage
    + QStringLiteral(
        "\n"
        "Выполняет проверку файла проекта, как кнопка «Начать контроль» в программе, но без окна, и\n"
        "выводит таблицу результатов (с --json — один объект JSON). О каждом неудачном, нераспознанном,\n"
        "слишком сложном или заблокированном поиске выводится строка в стандартный поток ошибок;\n"
        "с --json — о каждом поиске.\n"
        "\n"
        "Параметры:\n"
        "  --json                  один объект JSON со всеми ячейками и причиной каждой\n"
        "  --xlsx ФАЙЛ             записать также отчёт о проверке в книгу ФАЙЛ\n"
        "  --no-history            не сохранять проверку в истории позиций\n"
        "  --proxy ХОСТ:ПОРТ       работать через этот HTTP-прокси вместо запомненных настроек\n"
        "  --proxy-user ИМЯ        имя пользователя прокси\n"
        "  --proxy-pass-file ФАЙЛ  пароль прокси: первая строка ФАЙЛа\n"
        "  --proxy-pass ПАРОЛЬ     пароль прокси; прочитав, программа стирает его в списке процессов,\n"
        "                          но до того его могут увидеть другие пользователи: надёжнее\n"
        "                          переменная окружения KESTROVA_PROXY_PASSWORD или --proxy-pass-file\n"
        "  --region ID             спросить Яндекс о регионе ID (его lr, например 213 — Москва) в этой\n"
        "                          проверке вместо региона проекта\n"
        "  --source ПОИСКОВИК=ИСТОЧНИК\n"
        "                          брать результаты ПОИСКОВИКа из ИСТОЧНИКа в этой проверке (ПОИСКОВИК:\n"
        "                          GoogleCom, GoogleRu, YandexRu, RamblerRu, AportRu, MSNCom или Wordstat;\n"
        "                          ИСТОЧНИК: page, yandex-search-api, serp-json или yandex-wordstat-api,\n"
        "                          как их предлагают описания поисковиков); без него — источник,\n"
        "                          выбранный в «Источники результатов...». Ключи API берутся из\n"
        "                          KESTROVA_YANDEX_API_KEY, KESTROVA_YANDEX_FOLDER_ID и\n"
        "                          KESTROVA_SERP_API_KEY, иначе из связки ключей или файла ключей\n"
        "  --history-csv ФАЙЛ      записать историю позиций в CSV без проверки\n"
        "  --site САЙТ             с --history-csv: только этот сайт\n"
        "  --history ИСТОРИЯ       история позиций: файл SQLite или сервер PostgreSQL по строке\n"
        "                          подключения libpq (postgresql://ХОСТ/БАЗА, \"host=ХОСТ dbname=БАЗА\"\n"
        "                          или \"service=ИМЯ\"); пароль только в ~/.pgpass, PGPASSFILE или файле\n"
        "                          служб, никогда в строке. По умолчанию $KESTROVA_HISTORY, иначе файл\n"
        "                          этого компьютера\n"
        "  --history-copy ОТКУДА КУДА\n"
        "                          скопировать все проверки одной истории в другую (файл или сервер);\n"
        "                          проверка, которая там уже есть, не копируется снова\n"
        "  --history-sync          отправить на сервер проверки, которые он не принял и которые\n"
        "                          сохранены в файле этого компьютера\n"
        "  --scheduled             проверка по таймеру: после неё уведомление на рабочем столе\n"
        "                          сообщает, какие позиции изменились с прошлой проверки сайта\n"
        "  --schedule КОГДА        проверять проект по таймеру systemd пользователя: daily@ЧЧ:ММ,\n"
        "                          weekly@ДЕНЬ@ЧЧ:ММ (ДЕНЬ mon ... sun) или off; без проверки\n"
        "  --schedules             расписания всех проектов со следующей проверкой\n"
        "  --engines ФАЙЛ          запрашивать и читать поисковики по описаниям из ФАЙЛа вместо\n"
        "                          своих, загруженных или встроенных\n"
        "  --check-engines ФАЙЛ    проверить файл описаний поисковиков и вывести, что он меняет\n"
        "                          (код 0), или все ошибки (код 2); без проверки позиций\n"
        "  --version               версия программы из её файла, а второй строкой — версия и\n"
        "                          источник описаний поисковиков\n"
        "  --help                  этот текст\n"
        "\n"
        "Каждая проверка сохраняется в истории позиций ($XDG_DATA_HOME/Tellvik/Kestrova "
        "Sertrix/history.sqlite\n"
        "или история, названная в KESTROVA_HISTORY или --history), если не указан --no-history. На\n"
        "сервере таблицы лежат в схеме $KESTROVA_HISTORY_SCHEMA (kestrova, если не задана).\n"
        "\n"
        "Коды завершения:\n"
        "  0     проверка дошла до конца\n"
        "  1     проверку прервала ошибка или книгу не удалось записать\n"
        "  2     неверные параметры или отвергнутые входные данные\n"
        "  3     проверка дошла до конца, но ни один запрос не получил ответа\n"
        "  128+N после сигнала N (130 после Ctrl-C, 143 после SIGTERM, 129 после SIGHUP)\n");

namespace {

constexpr qint64 kMaxPasswordFileBytes = 4096;

// The first line of the file, without its line end.
std::variant<QString, UsageError> passwordFromFile(const QString& path)
{
    QString reason;
    const auto bytes = BoundedFile::readOwn(path, kMaxPasswordFileBytes, &reason);
    if (!bytes)
        return UsageError { QStringLiteral("не удалось прочитать файл пароля \"%1\": %2").arg(path, reason) };
    qsizetype end = 0;
    while (end < bytes->size() && bytes->at(end) != '\r' && bytes->at(end) != '\n')
        ++end;
    return QString::fromUtf8(bytes->left(end));
}

} // namespace

void hidePasswordArguments(int argc, char** argv)
{
    // The options that take a value, so that a value spelt like an option is not taken for one.
    static const char* const valueOptions[] = { "--xlsx", "--history-csv", "--site", "--proxy",
        "--proxy-user", "--proxy-pass", "--proxy-pass-file", "--engines", "--check-engines", "--schedule",
        "--region", "--history", "--source" };
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
            "--source требует ПОИСКОВИК=ИСТОЧНИК, где ИСТОЧНИК — page, yandex-search-api, "
            "serp-json или yandex-wordstat-api") };
    QString* slot = nullptr;
    if (engine == QLatin1String("Wordstat"))
        slot = &into.wordstat;
    for (Engine candidate : kEngines) {
        if (engineKey(candidate) == engine)
            slot = &into.engines.at(std::size_t(candidate));
    }
    if (!slot)
        return UsageError { QStringLiteral(
            "--source: неизвестный поисковик %1 (GoogleCom, GoogleRu, YandexRu, RamblerRu, "
            "AportRu, MSNCom или Wordstat)")
                                .arg(engine.left(40)) };
    if (!slot->isEmpty())
        return UsageError { QStringLiteral("--source %1 указан дважды").arg(engine) };
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
                return UsageError { argument + QStringLiteral(" указан дважды") };
            if (inlineValue) {
                into = *inlineValue;
                return std::nullopt;
            }
            if (i + 1 >= arguments.size())
                return UsageError { argument + QStringLiteral(" требует значения") };
            into = arguments[++i];
            return std::nullopt;
        };
        auto flag = [&](bool& into) -> std::optional<UsageError> {
            if (inlineValue)
                return UsageError { argument + QStringLiteral(" не принимает значения") };
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
                error = UsageError { QStringLiteral("--history-copy требует двух историй: ОТКУДА и КУДА") };
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
            error = UsageError { QStringLiteral("неизвестный параметр ") + argument.section(u'=', 0, 0) };
        else if (!parsed.projectPath.isEmpty())
            error = UsageError { QStringLiteral("проверяется только один файл проекта") };
        else
            parsed.projectPath = argument;
        if (error)
            return *error;
    }
    if (engines && engines->isEmpty())
        return UsageError { QStringLiteral("--engines требует имени файла") };
    parsed.enginesFile = engines.value_or(QString());
    if (parsed.help || parsed.version)
        return parsed;
    if (parsed.history && parsed.history->isEmpty())
        return UsageError { QStringLiteral("--history требует имени файла или строки подключения") };
    const bool anyOther = proxy || user || password || passwordFile || parsed.json || parsed.noHistory || xlsx
        || parsed.scheduled || csv || parsed.schedule || parsed.listSchedules || engines || checkEngines
        || parsed.historySite || !parsed.projectPath.isEmpty() || region || sources;
    if (copyFrom) {
        if (copyFrom->isEmpty() || parsed.historyCopyTo.isEmpty())
            return UsageError { QStringLiteral("--history-copy требует двух историй: ОТКУДА и КУДА") };
        if (anyOther || parsed.historySync || parsed.history)
            return UsageError { QStringLiteral(
                "--history-copy не запускает проверку: укажите его без других параметров") };
        parsed.historyCopyFrom = *copyFrom;
        return parsed;
    }
    if (parsed.historySync) {
        if (anyOther)
            return UsageError { QStringLiteral(
                "--history-sync не запускает проверку: с ним указывается только --history") };
        return parsed;
    }
    if (parsed.history && (parsed.listSchedules || checkEngines))
        return UsageError { QStringLiteral(
            "--history указывается с проверкой, с --schedule или с --history-csv") };
    const bool checkOptions = proxy || user || password || passwordFile || parsed.json || parsed.noHistory
        || xlsx || parsed.scheduled || region || sources;
    if (checkEngines) {
        if (checkEngines->isEmpty())
            return UsageError { QStringLiteral("--check-engines требует имени файла") };
        if (checkOptions || csv || parsed.schedule || parsed.listSchedules || engines
            || !parsed.projectPath.isEmpty())
            return UsageError { QStringLiteral(
                "--check-engines не запускает проверку: укажите его без других параметров") };
        parsed.checkEngines = *checkEngines;
        return parsed;
    }
    if (engines && (csv || parsed.schedule || parsed.listSchedules))
        return UsageError { QStringLiteral("--engines указывается с проверкой или с --version") };
    if (parsed.listSchedules) {
        if (checkOptions || csv || parsed.schedule || !parsed.projectPath.isEmpty())
            return UsageError { QStringLiteral(
                "--schedules не запускает проверку: укажите его без других параметров") };
        return parsed;
    }
    if (parsed.schedule) {
        if (checkOptions || csv || engines)
            return UsageError { QStringLiteral(
                "--schedule не запускает проверку: с ним указывается только файл проекта") };
        if (parsed.projectPath.isEmpty())
            return UsageError { QStringLiteral("--schedule требует файла проекта") };
        return parsed;
    }
    if (csv) {
        if (csv->isEmpty())
            return UsageError { QStringLiteral("--history-csv требует имени файла") };
        if (!parsed.projectPath.isEmpty() || proxy || user || password || passwordFile || parsed.json
            || parsed.noHistory || parsed.scheduled || region)
            return UsageError { QStringLiteral(
                "--history-csv не запускает проверку: с ним указывается только --site") };
        parsed.historyCsv = *csv;
        return parsed;
    }
    if (parsed.historySite)
        return UsageError { QStringLiteral("--site указывается только с --history-csv") };
    if (parsed.projectPath.isEmpty())
        return UsageError { QStringLiteral("не указан файл проекта") };
    if (xlsx && xlsx->isEmpty())
        return UsageError { QStringLiteral("--xlsx требует имени файла") };
    parsed.xlsxPath = xlsx.value_or(QString());
    if (region) {
        // Digits only: "+213", " 213" or "213.0" are no region id.
        const bool digits = !region->isEmpty() && region->size() <= 9
            && std::all_of(region->begin(), region->end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (!digits || !SearchRegion::isYandexId(region->toLongLong()))
            return UsageError { QStringLiteral("--region требует номера региона Яндекса от 1 до %1")
                                    .arg(SearchRegion::kMaxYandexId) };
        parsed.yandexRegion = region->toInt();
    }
    if ((user || password || passwordFile) && !proxy)
        return UsageError { QStringLiteral("--proxy-user и --proxy-pass указываются только с --proxy") };
    if ((password || passwordFile) && !user)
        return UsageError { QStringLiteral("--proxy-pass указывается только с --proxy-user") };
    if (password && passwordFile)
        return UsageError { QStringLiteral("--proxy-pass и --proxy-pass-file нельзя указать вместе") };
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
            return UsageError { QStringLiteral("--proxy требует ХОСТ:ПОРТ") };
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
