#pragma once

#include <QByteArray>

// The scheme a host is asked by. Over https the server's certificate is verified, host name
// included; there is no plain fallback.
enum class UrlScheme { Http, Https };

// "http://" or "https://".
inline QByteArray schemePrefix(UrlScheme scheme)
{
    return scheme == UrlScheme::Https ? QByteArrayLiteral("https://") : QByteArrayLiteral("http://");
}
