#pragma once

#include <QString>

// Proxy parameters of one client; filled by ApplyProxySettings.
struct ProxyParams {
    QString server; // empty: connect directly
    int port = 0;
    QString user;
    QString password;
    bool basicAuth = false; // Proxy-Authorization is sent with every request while set
};
