#pragma once

#include "rank/lookup/Engine.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// How an engine refused its results to a program.
enum class BlockKind {
    Captcha,
    JavaScript, // a page that asks for JavaScript
    Consent, // a consent page before the results
    TooManyRequests,
};

// One sign of a refusal in an engine's reply, as the engine definitions give it.
struct BlockMarker {
    enum class Where {
        Body, // a text in the body of a page without result entries, or of a reply other than 2xx
        Location, // a text in the Location of a reply
        Header, // the reply carries a header of this name
    };
    BlockKind kind = BlockKind::Captcha;
    Where where = Where::Body;
    QByteArray text;

    bool operator==(const BlockMarker&) const = default;
};

// What the block rules look at in a reply.
struct ReplySeen {
    int status = 0; // 0: no reply at all (a transport error)
    QByteArray location;
    QList<QByteArray> headerNames;
    QByteArray body;
    bool bodyCounts = false; // the body is no result page: a reply other than 2xx, or a page without entries
};

// Whether a reply is a refusal: a marker found where it is looked for, else HTTP 429. A 403 or a
// redirect alone is no refusal.
std::optional<BlockKind> blockedBy(const QList<BlockMarker>& markers, const ReplySeen& reply);

// The definitions' form of markers: "kind where:text" joined by " | ", such as
// "captcha location:/showcaptcha | captcha header:X-Yandex-Captcha". Nothing, with the reason in
// problem, for a malformed one.
std::optional<QList<BlockMarker>> parseBlockMarkers(const QString& text, QString* problem);

// The Russian detail of a blocked lookup: how the engine refused and what the user can do.
QString blockedDetail(Engine engine, BlockKind kind);
