#pragma once

#include <QByteArray>
#include <QString>

struct Endpoints;

// Where the update file and its signature are fetched, and the key that must have signed it.
struct UpdateSource {
    QByteArray fileUrl; // http://HOST/zlt.upd
    QByteArray signatureUrl; // http://HOST/zlt.upd.sig
    QByteArray publicKey;
    QString homePage; // http://MAKERSITE/, where a packaged copy's new versions are found

    // The Update host of the endpoints; their PublicKey, else the built-in key.
    static UpdateSource fromEndpoints(const Endpoints& endpoints);
};
