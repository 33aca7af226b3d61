#pragma once

#include <QByteArray>
#include <QString>

// The proxy server text of the connection settings names a host and nothing else: a host name
// (letters, digits, hyphens and underscores in dot-separated labels), an IPv4 address, or an
// IPv6 address with or without brackets. A scheme ("socks5://"), a port, a path, user
// information, blanks or control characters would make the transport read it as something else.
bool isProxyServerText(const QString& server);

// "'%s' is not a proxy server: ..." for a text isProxyServerText refuses.
QString proxyServerError(const QString& server);

// The host as the transport takes it: an IPv6 address in brackets, anything else unchanged.
// Only for texts isProxyServerText accepts.
QByteArray proxyHostForTransport(const QString& server);
