#pragma once

#include "net/CookieStore.h"
#include "net/RequestProfile.h"

#include <curl/curl.h>

// The cookies of one project frame, kept by libcurl in a share handle. The transfers themselves
// run with libcurl's cookie engine off, because libcurl would put its Cookie header ahead of the
// profile's headers; the client stores each reply's cookies here and builds the Cookie header
// from here.
struct CookieStore::Impl {
    Impl();
    ~Impl();

    // Takes the Set-Cookie lines of the reply that `transfer` has just received from `url`.
    void storeReplyCookies(CURL* transfer, const UrlParts& url);
    // "name=value; name2=value2" for the cookies that apply to `url`; empty when none do.
    QByteArray cookieHeaderFor(const UrlParts& url) const;

    void add(const QByteArray& setCookieValue, const UrlParts& url);

private:
    CURLSH* m_share = nullptr;
    CURL* m_jar = nullptr; // never performs a transfer, only reads and writes the shared cookies
};
