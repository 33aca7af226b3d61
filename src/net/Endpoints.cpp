#include "net/Endpoints.h"

#include "platform/BoundedFile.h"

#include <QRegularExpression>

#include <optional>

namespace {

std::optional<Endpoints> g_current;

// Every host the program talks to: its key in the [hosts] section, where it is kept, and the
// real host it is by default. The engines and the services of the figures have no default here:
// the engine definitions give their hosts, and a host set here wins over them.
struct HostEntry {
    const char* key;
    QString Endpoints::*member;
    const char* defaultHost;
};

const HostEntry kHosts[] = {
    { "GoogleCom", &Endpoints::GoogleCom, "" },
    { "GoogleRu", &Endpoints::GoogleRu, "" },
    { "YandexRu", &Endpoints::YandexRu, "" },
    { "Wordstat", &Endpoints::Wordstat, "" },
    { "RamblerRu", &Endpoints::RamblerRu, "" },
    { "AportRu", &Endpoints::AportRu, "" },
    { "MSNCom", &Endpoints::MSNCom, "" },
    { "PageRank", &Endpoints::PageRank, "" },
    { "YandexCY", &Endpoints::YandexCY, "" },
    { "Update", &Endpoints::Update, "www.kestrova.ru" },
    { "Feedback", &Endpoints::Feedback, "www.kestrova.ru" },
    { "MakerSite", &Endpoints::MakerSite, "www.kestrova.ru" },
    { "PartnerSite", &Endpoints::PartnerSite, "www.tellvik.ru" },
};

QString* hostField(Endpoints& endpoints, const QString& key)
{
    for (const HostEntry& entry : kHosts) {
        if (key.compare(QLatin1String(entry.key), Qt::CaseInsensitive) == 0)
            return &(endpoints.*entry.member);
    }
    return nullptr;
}

bool isHostAndPort(const QString& value)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^(?:[A-Za-z0-9_\-]+(?:\.[A-Za-z0-9_\-]+)*\.?|\[[0-9A-Fa-f:.]+\])(?::([0-9]{1,5}))?$)"));
    const auto match = form.match(value);
    if (!match.hasMatch())
        return false;
    if (match.hasCaptured(1)) {
        const int port = match.captured(1).toInt();
        return port >= 1 && port <= 65535;
    }
    return true;
}

bool isWholeNumber(const QString& value, int& number)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(value).hasMatch())
        return false;
    number = value.toInt();
    return true;
}

class EndpointsParser {
public:
    explicit EndpointsParser(const QString& path)
        : m_path(path)
    {
    }

    Endpoints parse(const QByteArray& content)
    {
        Endpoints endpoints = Endpoints::defaults();
        QString text = QString::fromUtf8(content);
        if (text.startsWith(QChar(0xFEFF)))
            text.remove(0, 1);
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            m_line = i + 1;
            parseLine(lines[i].trimmed(), endpoints);
        }
        return endpoints;
    }

private:
    [[noreturn]] void fail(const QString& what) const
    {
        throw EEndpoints(
            QStringLiteral("Файл адресов %1, строка %2: %3").arg(m_path).arg(m_line).arg(what).toStdString());
    }

    void parseLine(const QString& line, Endpoints& endpoints)
    {
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            return;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')) || line.size() < 3)
                fail(QStringLiteral("неверный заголовок раздела «%1»").arg(line));
            m_section = line.mid(1, line.size() - 2).trimmed().toLower();
            return;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            fail(QStringLiteral("ожидался [раздел] или ключ=значение, а не «%1»").arg(line));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (m_section.isEmpty())
            fail(QStringLiteral("ключ «%1» стоит перед первым разделом").arg(key));
        if (m_section == QLatin1String("hosts"))
            setHost(endpoints, key, value);
        else if (m_section == QLatin1String("timing"))
            setTiming(endpoints, key, value);
        else if (m_section == QLatin1String("update"))
            setUpdateKey(endpoints, key, value);
        else if (m_section == QLatin1String("tls"))
            setTls(endpoints, key, value);
    }

    void setTls(Endpoints& endpoints, const QString& key, const QString& value)
    {
        if (key.compare(QLatin1String("CaFile"), Qt::CaseInsensitive) != 0)
            return;
        // The certificates decide whom every https request trusts, so the file is taken only as
        // this file is: a regular file of the user's own, not writable by others.
        QString reason;
        const auto content = BoundedFile::readOwn(value, Endpoints::kMaxCaFileBytes, &reason);
        if (!content)
            fail(QStringLiteral("CaFile %1 не прочитан: %2").arg(value, reason));
        if (!content->contains("-----BEGIN CERTIFICATE-----"))
            fail(QStringLiteral("CaFile %1 не содержит сертификата PEM").arg(value));
        endpoints.extraCaCertificates = *content;
    }

    void setUpdateKey(Endpoints& endpoints, const QString& key, const QString& value)
    {
        if (key.compare(QLatin1String("Scheme"), Qt::CaseInsensitive) == 0) {
            if (value == QLatin1String("http"))
                endpoints.updateScheme = UrlScheme::Http;
            else if (value == QLatin1String("https"))
                endpoints.updateScheme = UrlScheme::Https;
            else
                fail(QStringLiteral("Scheme должен быть http или https, а не «%1»").arg(value.left(80)));
            return;
        }
        if (key.compare(QLatin1String("PublicKey"), Qt::CaseInsensitive) != 0)
            return;
        static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{64}$"));
        if (!hex.match(value).hasMatch())
            fail(QStringLiteral("PublicKey должен состоять из 64 шестнадцатеричных цифр, а не «%1»")
                     .arg(value.left(80)));
        endpoints.updatePublicKey = QByteArray::fromHex(value.toLatin1());
    }

    void setHost(Endpoints& endpoints, const QString& key, const QString& value)
    {
        QString* field = hostField(endpoints, key);
        if (!field)
            return;
        if (!isHostAndPort(value))
            fail(QStringLiteral("%1 должен быть хостом или хост:порт с портом от 1 до 65535, а не «%2»")
                     .arg(key, value));
        *field = value;
    }

    void setTiming(Endpoints& endpoints, const QString& key, const QString& value)
    {
        const std::pair<const char*, int Endpoints::*> fields[] = {
            { "RequestIntervalMs", &Endpoints::requestIntervalMs },
            { "ConnectTimeoutMs", &Endpoints::connectTimeoutMs },
            { "LowSpeedBytesPerSecond", &Endpoints::lowSpeedBytesPerSecond },
            { "LowSpeedSeconds", &Endpoints::lowSpeedSeconds },
        };
        for (const auto& [name, member] : fields) {
            if (key.compare(QLatin1String(name), Qt::CaseInsensitive) != 0)
                continue;
            int number = 0;
            if (!isWholeNumber(value, number))
                fail(
                    QStringLiteral("%1 должен быть целым числом, а не «%2»").arg(QLatin1String(name), value));
            // A zero would switch the limit off, and every request must end.
            if (member != &Endpoints::requestIntervalMs && number == 0)
                fail(QStringLiteral("%1 должен быть не меньше 1").arg(QLatin1String(name)));
            endpoints.*member = number;
        }
    }

    QString m_path;
    QString m_section;
    int m_line = 0;
};

} // namespace

QString Endpoints::host(const QString& key) const
{
    // hostField() only hands out a member of the object it is given.
    QString* field = hostField(const_cast<Endpoints&>(*this), key);
    if (!field)
        throw EEndpoints("Не задан хост с именем " + key.toStdString());
    return *field;
}

bool Endpoints::isHostAndPort(const QString& value)
{
    return ::isHostAndPort(value);
}

Endpoints Endpoints::defaults()
{
    Endpoints endpoints;
    for (const HostEntry& entry : kHosts)
        endpoints.*entry.member = QLatin1String(entry.defaultHost);
    return endpoints;
}

Endpoints Endpoints::fromFile(const QString& path)
{
    // The file can replace the update key, so only the user's own file is taken.
    QString reason;
    const auto content = BoundedFile::readOwn(path, kMaxFileBytes, &reason);
    if (!content)
        throw EEndpoints(
            QStringLiteral("Не удалось прочитать файл адресов %1: %2").arg(path, reason).toStdString());
    return EndpointsParser(path).parse(*content);
}

Endpoints Endpoints::fromEnvironment()
{
    const QString path = qEnvironmentVariable("KESTROVA_ENDPOINTS");
    if (path.isEmpty())
        return defaults();
    return fromFile(path);
}

const Endpoints& Endpoints::current()
{
    if (!g_current)
        g_current = fromEnvironment();
    return *g_current;
}

void Endpoints::setCurrent(const Endpoints& endpoints)
{
    g_current = endpoints;
}
