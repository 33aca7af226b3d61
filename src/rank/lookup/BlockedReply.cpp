#include "rank/lookup/BlockedReply.h"

#include <QStringList>

namespace {

constexpr int kMaxMarkers = 16;
constexpr int kMaxMarkerText = 200;

const std::pair<const char*, BlockKind> kKinds[] = {
    { "captcha", BlockKind::Captcha },
    { "javascript", BlockKind::JavaScript },
    { "consent", BlockKind::Consent },
    { "too-many-requests", BlockKind::TooManyRequests },
};

const std::pair<const char*, BlockMarker::Where> kPlaces[] = {
    { "body", BlockMarker::Where::Body },
    { "location", BlockMarker::Where::Location },
    { "header", BlockMarker::Where::Header },
};

bool isHeaderName(const QByteArray& name)
{
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letter && c != '-' && c != '_')
            return false;
    }
    return !name.isEmpty();
}

bool matches(const BlockMarker& marker, const ReplySeen& reply)
{
    switch (marker.where) {
    case BlockMarker::Where::Body:
        return reply.bodyCounts && reply.body.contains(marker.text);
    case BlockMarker::Where::Location:
        return !reply.location.isEmpty() && reply.location.toLower().contains(marker.text.toLower());
    case BlockMarker::Where::Header:
        for (const QByteArray& name : reply.headerNames) {
            if (name.compare(marker.text, Qt::CaseInsensitive) == 0)
                return true;
        }
        return false;
    }
    return false;
}

std::optional<BlockMarker> parseMarker(const QString& item, QString* problem)
{
    const qsizetype space = item.indexOf(u' ');
    const qsizetype colon = item.indexOf(u':');
    if (space <= 0 || colon <= space) {
        *problem = QStringLiteral("«%1» — нужно «вид место:текст», например «captcha location:/showcaptcha»")
                       .arg(item);
        return std::nullopt;
    }
    BlockMarker marker;
    const QString kind = item.left(space);
    const QString place = item.mid(space + 1, colon - space - 1).trimmed();
    const QString text = item.mid(colon + 1);
    bool kindKnown = false, placeKnown = false;
    for (const auto& [word, value] : kKinds) {
        if (kind == QLatin1String(word)) {
            marker.kind = value;
            kindKnown = true;
        }
    }
    for (const auto& [word, value] : kPlaces) {
        if (place == QLatin1String(word)) {
            marker.where = value;
            placeKnown = true;
        }
    }
    if (!kindKnown) {
        *problem = QStringLiteral("«%1» — допустимы виды captcha, javascript, consent, too-many-requests")
                       .arg(kind);
        return std::nullopt;
    }
    if (!placeKnown) {
        *problem = QStringLiteral("«%1» — допустимы места body, location, header").arg(place);
        return std::nullopt;
    }
    marker.text = text.toUtf8();
    if (text.isEmpty() || marker.text.size() > kMaxMarkerText) {
        *problem = QStringLiteral("текст признака — от 1 до %1 байт").arg(kMaxMarkerText);
        return std::nullopt;
    }
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            *problem = QStringLiteral("управляющий знак в признаке");
            return std::nullopt;
        }
    }
    if (marker.where == BlockMarker::Where::Header && !isHeaderName(marker.text)) {
        *problem = QStringLiteral("«%1» — не имя заголовка").arg(text);
        return std::nullopt;
    }
    return marker;
}

} // namespace

std::optional<BlockKind> blockedBy(const QList<BlockMarker>& markers, const ReplySeen& reply)
{
    if (reply.status == 0)
        return std::nullopt;
    for (const BlockMarker& marker : markers) {
        if (matches(marker, reply))
            return marker.kind;
    }
    if (reply.status == 429)
        return BlockKind::TooManyRequests;
    return std::nullopt;
}

std::optional<QList<BlockMarker>> parseBlockMarkers(const QString& text, QString* problem)
{
    QList<BlockMarker> markers;
    if (text.trimmed().isEmpty())
        return markers;
    const QStringList items = text.split(QStringLiteral(" | "));
    if (items.size() > kMaxMarkers) {
        *problem = QStringLiteral("не больше %1 признаков").arg(kMaxMarkers);
        return std::nullopt;
    }
    for (const QString& item : items) {
        const std::optional<BlockMarker> marker = parseMarker(item.trimmed(), problem);
        if (!marker)
            return std::nullopt;
        markers << *marker;
    }
    return markers;
}

QString blockedDetail(Engine engine, BlockKind kind)
{
    // The engine as a Russian user calls it.
    static const char* const names[] = { "Google", "Google", "Яндекс", "Рамблер", "Апорт", "MSN" };
    const QString name = QString::fromUtf8(names[static_cast<std::size_t>(engine)]);
    QString how;
    switch (kind) {
    case BlockKind::Captcha:
        how = QStringLiteral("показал капчу");
        break;
    case BlockKind::JavaScript:
        how = QStringLiteral("потребовал JavaScript");
        break;
    case BlockKind::Consent:
        how = QStringLiteral("показал страницу согласия");
        break;
    case BlockKind::TooManyRequests:
        how = QStringLiteral("ответил «слишком много запросов» (HTTP 429)");
        break;
    }
    return QStringLiteral("%1 %2: проверка программой заблокирована; повторите позже, смените прокси или "
                          "используйте API-источник")
        .arg(name, how);
}
