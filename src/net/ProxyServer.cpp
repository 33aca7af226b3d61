#include "net/ProxyServer.h"

#include <QList>
#include <QStringView>

#include <arpa/inet.h>

namespace {

constexpr qsizetype kMaxHostName = 253;
constexpr qsizetype kMaxLabel = 63;

bool isLabelCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-'
        || c == u'_';
}

bool isHostName(const QString& text)
{
    if (text.isEmpty() || text.size() > kMaxHostName)
        return false;
    const QString name = text.endsWith(u'.') ? text.chopped(1) : text;
    for (QStringView label : QStringView(name).split(u'.')) {
        if (label.isEmpty() || label.size() > kMaxLabel || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (QChar c : label)
            if (!isLabelCharacter(c))
                return false;
    }
    return true;
}

QString withoutBrackets(const QString& text)
{
    if (text.size() > 2 && text.startsWith(u'[') && text.endsWith(u']'))
        return text.mid(1, text.size() - 2);
    return text;
}

bool isIpv6Address(const QString& text)
{
    const QString bare = withoutBrackets(text);
    if (!bare.contains(u':'))
        return false;
    for (QChar c : bare)
        if (c.unicode() > 0x7F)
            return false;
    in6_addr address {};
    return inet_pton(AF_INET6, bare.toLatin1().constData(), &address) == 1;
}

} // namespace

bool isProxyServerText(const QString& server)
{
    return isHostName(server) || isIpv6Address(server);
}

QString proxyServerError(const QString& server)
{
    return QStringLiteral("'%1' — не прокси-сервер: укажите только его имя или адрес, без схемы, "
                          "порта, пути и пробелов")
        .arg(server);
}

QByteArray proxyHostForTransport(const QString& server)
{
    if (isIpv6Address(server))
        return '[' + withoutBrackets(server).toLatin1() + ']';
    return server.toLatin1();
}
