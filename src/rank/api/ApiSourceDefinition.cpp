#include "rank/api/ApiSourceDefinition.h"

#include <QStringList>
#include <QUrl>

std::optional<SourceKind> ApiSourceDefinition::apiSource() const
{
    for (SourceKind kind : offered) {
        if (kind != SourceKind::Page)
            return kind;
    }
    return std::nullopt;
}

SourceKind ApiSourceDefinition::inForce(const QString& chosenCode) const
{
    for (SourceKind kind : offered) {
        if (sourceCode(kind) == chosenCode)
            return kind;
    }
    return offered.isEmpty() ? SourceKind::Page : offered.first();
}

QByteArray ApiSourceDefinition::url() const
{
    if (!apiUrl.isEmpty())
        return apiUrl;
    switch (apiSource().value_or(SourceKind::Page)) {
    case SourceKind::YandexSearchApi:
        return kDefaultYandexSearchUrl;
    case SourceKind::YandexWordstatApi:
        return kDefaultWordstatUrl;
    default:
        return {};
    }
}

namespace {

bool isLoopbackHost(const QString& host)
{
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    if (host == QLatin1String("::1"))
        return true;
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4 || parts[0] != QLatin1String("127"))
        return false;
    for (const QString& part : parts) {
        bool number = false;
        const int value = part.toInt(&number);
        if (!number || part.size() > 3 || value < 0 || value > 255 || part.startsWith(u'+'))
            return false;
    }
    return true;
}

} // namespace

QString apiUrlProblem(const QString& url)
{
    for (QChar c : url) {
        if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
            return QStringLiteral("только печатные знаки ASCII без пробелов");
    }
    // The placeholders are not part of the address the check is about.
    QString sample = url;
    for (const char* placeholder : { "{keyword}", "{start}", "{country}", "{language}", "{region}", "{key}" })
        sample.replace(QLatin1String(placeholder), QStringLiteral("x"));
    const QUrl parsed(sample, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty()
        || (scheme != QLatin1String("https") && scheme != QLatin1String("http")))
        return QStringLiteral("«%1» — нужен адрес https://хост/путь").arg(url.left(60));
    if (!parsed.userInfo().isEmpty())
        return QStringLiteral("имя и пароль в адресе не допускаются");
    if (scheme == QLatin1String("http") && !isLoopbackHost(parsed.host()))
        return QStringLiteral("адрес API должен начинаться с https:// (http:// — только для 127.0.0.1, ::1 и "
                              "localhost)");
    return {};
}
