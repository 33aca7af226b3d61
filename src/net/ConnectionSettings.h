#pragma once

#include "net/ProxyParams.h"

#include <QString>
#include <stdexcept>

// A connection setting that cannot be used: a port text that is not a whole number ("'%s' is not
// a valid integer value"), or a proxy server text that is not a host name or address.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user's connection settings as the frame's controls hold them.
struct ConnectionSettings {
    bool useProxy = false; // RBProxy chosen
    QString server; // ProxyServer
    QString port; // ProxyPort, as typed
    QString user; // ProxyUser
    QString password; // ProxyPass
};

// ApplyProxySettings without widgets: the proxy parameters one client gets from the settings.
// Throws EConvertError when the proxy is chosen and the port text is not a whole number, or the
// server text is neither empty nor a host name or address (isProxyServerText).
ProxyParams proxyParamsFrom(const ConnectionSettings& settings);

// Delphi-style StrToInt: throws EConvertError with the message above.
int strToInt(const QString& text);
