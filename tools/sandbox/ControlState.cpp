#include "ControlState.h"

#include "HttpRequest.h"

#include <algorithm>

// Control commands, one per line, in the body of "POST /control" on the control port.
// Empty lines and lines starting with "#" are skipped. Commands run in order; the first
// refused one stops the request and its reason is the reply (400); the commands before it
// stay applied.
//
//   status SERVICE CODE [COUNT]     answer with that status code
//   redirect SERVICE [COUNT]        answer 302 with a Location header
//   location200 SERVICE [COUNT]     answer the normal page with status 200 and a Location header
//   stall SERVICE [COUNT]           read the request and never answer (until reset or exit)
//   captcha SERVICE [COUNT]         answer 302 to the engine's captcha page (Google: /sorry/index,
//                                   the others: /showcaptcha)
//   jswall SERVICE [COUNT]          answer 200 with a page that asks for JavaScript
//                                   (/httpservice/retry/enablejs)
//   toomany SERVICE [COUNT]         answer 429 Too Many Requests with Retry-After
//   short SERVICE PAGE N            page PAGE has N entries (fewer or more than a full page)
//   place SERVICE KEYWORD POS       the site at 1-based overall position POS (0: on no page), or
//                                   POS written PAGE/ENTRY: page index and 1-based entry on it
//   value SERVICE KEYWORD TEXT      AportRu/YandexRu: value attribute text of the site's entry
//   count [Wordstat] TEXT           the Wordstat count text, printed verbatim
//   cy TEXT                         the CY figure text, printed verbatim
//   pr TEXT                         the PageRank figure text, printed verbatim
//   updateversion TEXT              serve an update file carrying the file version TEXT ("-": none),
//                                   signed with the sandbox's key
//   definitions                     the rest of the request body, after this line's line feed, is
//                                   published as /engines.ini, signed with the sandbox's key (an
//                                   empty rest: none published); must be the last command
//   cookie SERVICE NAME=VALUE[...]  add "Set-Cookie: NAME=VALUE[...]" to every reply
//   header SERVICE NAME: VALUE      send that header instead of the sandbox's own of that name;
//                                   without a VALUE the header is not sent at all
//   headlength SERVICE N            HEAD replies announce a Content-Length of N
//   missing SERVICE PAGE            page PAGE answers 404 (a result page of an engine; Update: page 0
//                                   the file, 1 its signature, 2 the definitions, 3 their signature)
//   body SERVICE PAGE               the rest of the request body, after this line's line feed,
//                                   is served verbatim as page PAGE; must be the last command
//   apierror SERVICE CODE [COUNT] [TEXT]
//                                   an API service answers an error of its provider: YandexSearchApi
//                                   the XML error CODE (15, 32, 55, 100, ...), the others the HTTP
//                                   status CODE with the provider's error body; TEXT replaces the
//                                   provider's usual message
//   apilimit SERVICE [COUNT]        an API service answers that the daily limit is spent
//   apidamage SERVICE base64|xml|json [COUNT]
//                                   an answer that cannot be read: rawData that is no Base64, or
//                                   Base64 of XML without results or error (YandexSearchApi), or a
//                                   body that is no JSON
//   slowop N                        new deferred searches answer "not done" to N polls first
//   totalnumber                     the Wordstat API's totalCount as a JSON number, not a string
//   site HOST                       place HOST (until the next CY or PageRank request names a site)
//   reset                           drop every misbehaviour and override, restore the start site
//   clearlog                        forget the recorded requests
//
// SERVICE is a service key (GoogleCom, GoogleRu, YandexRu, Wordstat, RamblerRu, AportRu, MSNCom,
// PageRank, YandexCY, Update, Feedback, YandexSearchApi, WordstatApi, SerpApi) or "*" for all of them.
// Misbehaviours queue up per service: the oldest one applies until its COUNT requests are used up (without
// COUNT: for good). PAGE is a page index from 0 ("*": every page; services with one page use 0). KEYWORD and
// HOST are percent-encoded UTF-8 ("*" as KEYWORD: every keyword). TEXT is the rest of the line taken as raw
// bytes; a lone "-" stands for the empty text.

namespace {

QByteArray takeToken(QByteArray& rest)
{
    rest = rest.trimmed();
    const qsizetype space = rest.indexOf(' ');
    QByteArray token = space < 0 ? rest : rest.left(space);
    rest = space < 0 ? QByteArray() : rest.mid(space + 1);
    return token;
}

QByteArray textArgument(const QByteArray& rest)
{
    QByteArray text = rest;
    while (text.startsWith(' '))
        text.remove(0, 1);
    return text == "-" ? QByteArray() : text;
}

std::optional<int> number(const QByteArray& token, int minimum)
{
    bool ok = false;
    const int value = token.toInt(&ok);
    if (!ok || value < minimum)
        return std::nullopt;
    return value;
}

QString decodedText(const QByteArray& token)
{
    return QString::fromUtf8(percentDecode(token));
}

} // namespace

Placement Placement::fromPosition(int position, int pageSize)
{
    if (position <= 0 || pageSize <= 0)
        return {};
    return { (position - 1) / pageSize, (position - 1) % pageSize + 1 };
}

std::optional<Placement> ServiceOverrides::placement(const QString& keyword) const
{
    if (placements.contains(keyword))
        return placements.value(keyword);
    if (placements.contains(QStringLiteral("*")))
        return placements.value(QStringLiteral("*"));
    return std::nullopt;
}

std::optional<QByteArray> ServiceOverrides::siteValue(const QString& keyword) const
{
    if (siteValues.contains(keyword))
        return siteValues.value(keyword);
    if (siteValues.contains(QStringLiteral("*")))
        return siteValues.value(QStringLiteral("*"));
    return std::nullopt;
}

std::optional<int> ServiceOverrides::entriesOn(int page) const
{
    if (entries.contains(page))
        return entries.value(page);
    if (entries.contains(-1))
        return entries.value(-1);
    return std::nullopt;
}

std::optional<QByteArray> ServiceOverrides::body(int page) const
{
    if (bodies.contains(page))
        return bodies.value(page);
    if (bodies.contains(-1))
        return bodies.value(-1);
    return std::nullopt;
}

ControlState::ControlState(QString startSite)
    : m_startSite(std::move(startSite))
{
    if (!setSite(m_startSite))
        m_site = m_startSite = QStringLiteral("www.example.ru");
}

bool ControlState::setSite(const QString& site)
{
    QString host = site;
    if (host.startsWith(QLatin1String("http://")))
        host.remove(0, 7);
    if (host.endsWith(QLatin1Char('/')))
        host.chop(1);
    if (host.isEmpty())
        return false;
    m_site = host;
    return true;
}

std::optional<Misbehaviour> ControlState::takeMisbehaviour(Service service, bool apiKinds)
{
    QList<Misbehaviour>& queue = overrides(service).misbehaviours;
    if (queue.isEmpty())
        return std::nullopt;
    const Misbehaviour::Kind front = queue.first().kind;
    const bool apiKind = front == Misbehaviour::Kind::ApiError || front == Misbehaviour::Kind::ApiLimit
        || front == Misbehaviour::Kind::ApiDamage;
    if (apiKind && !apiKinds)
        return std::nullopt;
    const Misbehaviour current = queue.first();
    if (current.remaining > 0 && --queue.first().remaining == 0)
        queue.removeFirst();
    return current;
}

void ControlState::resetAll()
{
    m_services = {};
    m_countText.reset();
    m_cyText.reset();
    m_prText.reset();
    m_updateVersion.reset();
    m_googleLayout = 1;
    m_definitions.reset();
    m_slowPolls = kDefaultSlowPolls;
    m_totalAsNumber = false;
    setSite(m_startSite);
}

ControlState::Outcome ControlState::apply(const QByteArray& commands)
{
    Outcome outcome;
    qsizetype start = 0;
    while (start < commands.size()) {
        qsizetype end = commands.indexOf('\n', start);
        if (end < 0)
            end = commands.size();
        QByteArray line = commands.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        start = end + 1;
        if (line.trimmed().isEmpty() || line.trimmed().startsWith('#'))
            continue;
        bool consumedRest = false;
        const QByteArray rest = start < commands.size() ? commands.mid(start) : QByteArray();
        outcome.error = applyLine(line, rest, &consumedRest, &outcome);
        if (!outcome.error.isEmpty()) {
            outcome.error = QStringLiteral("%1: %2").arg(QString::fromUtf8(line), outcome.error);
            break;
        }
        if (consumedRest)
            break;
    }
    return outcome;
}

QString ControlState::applyLine(
    const QByteArray& line, const QByteArray& rest, bool* consumedRest, Outcome* outcome)
{
    QByteArray args = line;
    const QByteArray name = takeToken(args);

    if (name == "reset" || name == "clearlog") {
        if (!args.trimmed().isEmpty())
            return QStringLiteral("takes no arguments");
        if (name == "reset") {
            resetAll();
            outcome->reset = true;
        } else {
            outcome->clearLog = true;
        }
        return {};
    }
    if (name == "site") {
        const QByteArray host = takeToken(args);
        if (host.isEmpty() || !args.trimmed().isEmpty())
            return QStringLiteral("expected: site HOST");
        if (!setSite(decodedText(host)))
            return QStringLiteral("empty host");
        return {};
    }
    if (name == "googlelayout") {
        const QByteArray layout = takeToken(args);
        if ((layout != "1" && layout != "2") || !args.trimmed().isEmpty())
            return QStringLiteral("expected: googlelayout 1|2");
        m_googleLayout = layout.toInt();
        return {};
    }
    if (name == "updateversion") {
        m_updateVersion = textArgument(args).trimmed();
        return {};
    }
    if (name == "definitions") {
        if (!args.trimmed().isEmpty())
            return QStringLiteral("expected: definitions, then the file on the following lines");
        m_definitions = rest;
        *consumedRest = true;
        return {};
    }
    if (name == "count" || name == "cy" || name == "pr") {
        QByteArray text = args;
        if (name == "count" && text.trimmed().startsWith("Wordstat")) {
            QByteArray tail = text;
            takeToken(tail);
            text = tail;
        }
        std::optional<QByteArray>& target = name == "count" ? m_countText
            : name == "cy"                                  ? m_cyText
                                                            : m_prText;
        target = textArgument(text);
        return {};
    }

    if (name == "slowop") {
        const auto polls = number(takeToken(args), 0);
        if (!polls || !args.trimmed().isEmpty())
            return QStringLiteral("expected: slowop N");
        m_slowPolls = *polls;
        return {};
    }
    if (name == "totalnumber") {
        if (!args.trimmed().isEmpty())
            return QStringLiteral("takes no arguments");
        m_totalAsNumber = true;
        return {};
    }
    if (name == "apierror" || name == "apilimit" || name == "apidamage")
        return applyApiLine(name, args);

    static const QList<QByteArray> serviceCommands
        = { "status", "redirect", "location200", "stall", "captcha", "jswall", "toomany", "short", "place",
              "value", "cookie", "header", "body", "headlength", "missing" };
    if (!serviceCommands.contains(name))
        return QStringLiteral("unknown command");

    const QByteArray serviceToken = takeToken(args);
    QList<Service> services;
    if (serviceToken == "*") {
        services = QList<Service>(allServices().begin(), allServices().end());
    } else if (const auto service = serviceByKey(serviceToken)) {
        services = { *service };
    } else {
        return QStringLiteral("unknown service");
    }
    const bool needsResultPages = name == "short" || name == "place" || name == "value";
    if (needsResultPages) {
        // The API services that give a page engine's results are placed as that engine is.
        const bool placing = name == "place";
        services.removeIf([placing](Service service) {
            const std::optional<Service> engine = pageEngineOf(service);
            return !isResultEngine(service) && !(placing && engine && isResultEngine(*engine));
        });
        if (services.isEmpty())
            return QStringLiteral("the service has no result pages");
    }

    auto pageArgument = [&args]() -> std::optional<int> {
        const QByteArray token = takeToken(args);
        return token == "*" ? std::optional<int>(-1) : number(token, 0);
    };

    static const QList<QByteArray> misbehaviourCommands
        = { "status", "redirect", "location200", "stall", "captcha", "jswall", "toomany" };
    if (misbehaviourCommands.contains(name)) {
        Misbehaviour misbehaviour;
        if (name == "status") {
            const auto code = number(takeToken(args), 100);
            if (!code || *code > 599)
                return QStringLiteral("expected a status code from 100 to 599");
            misbehaviour.status = *code;
        } else {
            misbehaviour.kind = name == "redirect" ? Misbehaviour::Kind::Redirect
                : name == "stall"                  ? Misbehaviour::Kind::Stall
                : name == "captcha"                ? Misbehaviour::Kind::Captcha
                : name == "jswall"                 ? Misbehaviour::Kind::JavaScriptWall
                : name == "toomany"                ? Misbehaviour::Kind::TooManyRequests
                                                   : Misbehaviour::Kind::Location200;
        }
        const QByteArray countToken = takeToken(args);
        if (!countToken.isEmpty()) {
            const auto count = number(countToken, 1);
            if (!count)
                return QStringLiteral("expected a count of 1 or more");
            misbehaviour.remaining = *count;
        }
        if (!args.trimmed().isEmpty())
            return QStringLiteral("too many arguments");
        for (Service service : services)
            overrides(service).misbehaviours.append(misbehaviour);
        return {};
    }
    if (name == "short") {
        const auto page = pageArgument();
        const auto count = number(takeToken(args), 0);
        if (!page || !count || !args.trimmed().isEmpty())
            return QStringLiteral("expected: short SERVICE PAGE N");
        for (Service service : services)
            overrides(service).entries.insert(*page, *count);
        return {};
    }
    if (name == "place" || name == "value") {
        const QByteArray keywordToken = takeToken(args);
        if (keywordToken.isEmpty())
            return QStringLiteral("expected a keyword");
        const QString keyword = keywordToken == "*" ? QStringLiteral("*") : decodedText(keywordToken);
        if (name == "value") {
            for (Service service : services)
                overrides(service).siteValues.insert(keyword, textArgument(args));
            return {};
        }
        const QByteArray position = takeToken(args);
        if (!args.trimmed().isEmpty())
            return QStringLiteral("too many arguments");
        const qsizetype slash = position.indexOf('/');
        for (Service service : services) {
            Placement placement;
            if (slash >= 0) {
                const auto page = number(position.left(slash), 0);
                const auto entry = number(position.mid(slash + 1), 1);
                if (!page || !entry)
                    return QStringLiteral("expected PAGE/ENTRY with PAGE from 0 and ENTRY from 1");
                placement = { *page, *entry };
            } else {
                const auto overall = number(position, 0);
                if (!overall)
                    return QStringLiteral("expected a position from 0");
                placement
                    = Placement::fromPosition(*overall, pageSize(pageEngineOf(service).value_or(service)));
            }
            overrides(service).placements.insert(keyword, placement);
        }
        return {};
    }
    if (name == "headlength") {
        const auto length = number(takeToken(args), 0);
        if (!length || !args.trimmed().isEmpty())
            return QStringLiteral("expected: headlength SERVICE N");
        for (Service service : services)
            overrides(service).headLength = *length;
        return {};
    }
    if (name == "missing") {
        const auto page = number(takeToken(args), 0);
        if (!page || !args.trimmed().isEmpty())
            return QStringLiteral("expected: missing SERVICE PAGE");
        for (Service service : services)
            overrides(service).missingPages.insert(*page);
        return {};
    }
    if (name == "cookie") {
        const QByteArray cookie = textArgument(args);
        if (!cookie.contains('='))
            return QStringLiteral("expected: cookie SERVICE NAME=VALUE");
        for (Service service : services)
            overrides(service).cookies.append(cookie);
        return {};
    }
    if (name == "header") {
        const QByteArray text = textArgument(args);
        const qsizetype colon = text.indexOf(':');
        if (colon <= 0)
            return QStringLiteral("expected: header SERVICE NAME: VALUE");
        for (Service service : services)
            overrides(service).headers.append({ text.left(colon).trimmed(), text.mid(colon + 1).trimmed() });
        return {};
    }
    // body
    const auto page = pageArgument();
    if (!page || !args.trimmed().isEmpty())
        return QStringLiteral("expected: body SERVICE PAGE");
    for (Service service : services)
        overrides(service).bodies.insert(*page, rest);
    *consumedRest = true;
    return {};
}

QString ControlState::applyApiLine(const QByteArray& name, QByteArray args)
{
    const QByteArray serviceToken = takeToken(args);
    QList<Service> services;
    for (Service service : allServices()) {
        if (isApiService(service) && (serviceToken == "*" || serviceToken == serviceKey(service).toLatin1()))
            services.append(service);
    }
    if (services.isEmpty())
        return QStringLiteral("not an API service: YandexSearchApi, WordstatApi, SerpApi or *");

    Misbehaviour misbehaviour;
    if (name == "apierror") {
        misbehaviour.kind = Misbehaviour::Kind::ApiError;
        const auto code = number(takeToken(args), 1);
        if (!code || *code > 999)
            return QStringLiteral("expected: apierror SERVICE CODE [COUNT] [TEXT]");
        misbehaviour.status = *code;
        // HTTP statuses for the services that answer errors by status.
        if ((*code < 100 || *code > 599)
            && std::any_of(services.begin(), services.end(),
                [](Service service) { return service != Service::YandexSearchApi; }))
            return QStringLiteral("expected an HTTP status from 100 to 599 for this service");
    } else if (name == "apilimit") {
        misbehaviour.kind = Misbehaviour::Kind::ApiLimit;
    } else {
        misbehaviour.kind = Misbehaviour::Kind::ApiDamage;
        const QByteArray damage = takeToken(args);
        if (damage == "json") {
            misbehaviour.damage = Misbehaviour::Damage::Json;
        } else if (damage == "base64" || damage == "xml") {
            if (services != QList<Service> { Service::YandexSearchApi })
                return QStringLiteral("base64 and xml damage only the YandexSearchApi answers");
            misbehaviour.damage = damage == "xml" ? Misbehaviour::Damage::Xml : Misbehaviour::Damage::Base64;
        } else {
            return QStringLiteral("expected: apidamage SERVICE base64|xml|json [COUNT]");
        }
    }
    QByteArray rest = args;
    const QByteArray countToken = takeToken(rest);
    if (const auto count = number(countToken, 1)) {
        misbehaviour.remaining = *count;
        args = rest;
    } else if (!countToken.isEmpty() && name != "apierror") {
        return QStringLiteral("expected a count of 1 or more");
    }
    if (name == "apierror")
        misbehaviour.text = textArgument(args).trimmed();
    for (Service service : services)
        overrides(service).misbehaviours.append(misbehaviour);
    return {};
}
