#pragma once

#include "net/HttpVersion.h"

#include <QByteArray>
#include <QList>

// The parts of a request URL that the headers and the cookie rules need.
struct UrlParts {
    QByteArray scheme; // lower case
    QByteArray host;
    int port = 0; // the default port of the scheme when the URL names none
    QByteArray path; // without query and fragment; "/" when empty
};

// Throws EHttpError when the URL cannot be parsed.
UrlParts parseUrl(const QByteArray& url);

enum class Method { Get, Post, Head };

struct ProfileRequest {
    Method method = Method::Get;
    HttpVersion version = HttpVersion::Http11;
    bool viaProxy = false;
    QByteArray host; // Host header value
    qint64 bodyLength = 0; // POST only
    bool basicAuth = false;
    QByteArray userPassword; // "user:password" when basicAuth
    QByteArray cookie; // empty: no Cookie header
    bool json = false; // an API request: JSON accepted, and a posted body is JSON
    QList<QByteArray> extraHeaders; // "Name: value", after the program's own
};

// The header list handed to libcurl. libcurl writes its own Host, Accept, Proxy-Connection and
// Content-* headers before or after its list; naming every header here, in order, makes the list
// decide the whole order: an empty "Host:" first suppresses libcurl's Host so that the real one
// goes out where it stands, and empty entries remove the headers libcurl would add on its own.
QList<QByteArray> profileHeaders(const ProfileRequest& request);

// Host header value: the URL's host, with ":port" when the port is not the scheme's default.
QByteArray hostHeaderValue(const UrlParts& url);
