#pragma once

#include <QByteArray>
#include <QString>

struct Endpoints;

// Where the update file, the engine definitions and their signatures are fetched, and the key that
// must have signed them.
struct UpdateSource {
    QByteArray fileUrl; // http://HOST/zlt.upd
    QByteArray signatureUrl; // http://HOST/zlt.upd.sig
    QByteArray definitionsUrl; // http://HOST/engines.ini
    QByteArray definitionsSignatureUrl; // http://HOST/engines.ini.sig
    QByteArray publicKey;
    QString homePage; // http://MAKERSITE/, where a packaged copy's new versions are found

    // The Update host of the endpoints; their PublicKey, else the built-in key.
    static UpdateSource fromEndpoints(const Endpoints& endpoints);
};
