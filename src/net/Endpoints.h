#pragma once

#include <QByteArray>
#include <QString>

#include "net/UrlScheme.h"
#include <stdexcept>

class EEndpoints : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Host names of the services the program talks to, and the pacing of WaitOneSecond.
// Defaults are the real web hosts (the table in Endpoints.cpp; the engines' hosts come from the
// engine definitions, and are empty here unless set); an INI file named by KESTROVA_ENDPOINTS
// overrides them:
//   [hosts]  a member's name as its key             (each "host" or "host:port")
//   [timing] RequestIntervalMs                        (default 1000)
//            ConnectTimeoutMs                         (default 30000: a connection not made by then fails)
//            LowSpeedBytesPerSecond LowSpeedSeconds   (default 100 and 30: a request that receives
//                                                      fewer bytes a second for that long fails)
//   [update] PublicKey                                 (64 hex digits: the Ed25519 key that signs
//                                                       the update file instead of the built-in one)
//            Scheme                                    (http or https, default https: how the update
//                                                       host is asked)
//   [tls]    CaFile                                    (a PEM file of certificates trusted beside the
//                                                       system's store, for tests and the sandbox; read
//                                                       under the same rules as this file)
struct Endpoints {
    QString GoogleCom, GoogleRu, YandexRu, Wordstat, RamblerRu, AportRu, MSNCom, PageRank, YandexCY, Update,
        Feedback, MakerSite, PartnerSite;
    int requestIntervalMs = 1000;
    int connectTimeoutMs = 30000;
    int lowSpeedBytesPerSecond = 100;
    int lowSpeedSeconds = 30;
    QByteArray updatePublicKey; // 32 bytes; empty: the program's built-in key
    UrlScheme updateScheme = UrlScheme::Https;
    QByteArray extraCaCertificates; // PEM text of [tls] CaFile; empty: the system's store alone

    // The host configured under a key of the [hosts] section; throws EEndpoints for an unknown key.
    QString host(const QString& key) const;

    static Endpoints defaults();
    // Whether a value is a host name or an address, with an optional port from 1 to 65535.
    static bool isHostAndPort(const QString& value);
    // Reads KESTROVA_ENDPOINTS when set; throws EEndpoints with a clear text for a malformed file.
    static Endpoints fromEnvironment();
    // Only a regular file of at most kMaxFileBytes, owned by the user and not writable by others.
    static Endpoints fromFile(const QString& path);
    static constexpr qint64 kMaxFileBytes = 64 * 1024;
    static constexpr qint64 kMaxCaFileBytes = 1024 * 1024;

    // The endpoints in force for this process: loaded once from the environment at start,
    // replaceable by tests.
    static const Endpoints& current();
    static void setCurrent(const Endpoints& endpoints);
};
