#include "net/ConnectionSettings.h"

#include "net/ProxyServer.h"

#include <limits>

int strToInt(const QString& text)
{
    auto fail = [&text]() {
        return EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
    };
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        throw fail();
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            throw fail();
        value = value * 10 + (c - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            throw fail();
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        throw fail();
    return int(value);
}

ProxyParams proxyParamsFrom(const ConnectionSettings& settings)
{
    ProxyParams params;
    if (!settings.useProxy)
        return params;
    if (!settings.server.isEmpty() && !isProxyServerText(settings.server))
        throw EConvertError(proxyServerError(settings.server).toStdString());
    params.server = settings.server;
    params.port = strToInt(settings.port);
    params.user = settings.user;
    params.password = settings.password;
    params.basicAuth = !settings.user.isEmpty();
    return params;
}
