#pragma once

#include <QByteArray>

// Texts the lookups build from the site address and the keywords. All are byte strings in
// the ANSI code page (Windows-1251), as they go into URLs and patterns.

// The site address without a leading "http://", then a leading "www.", then one trailing "/": what
// a result link holds when it is the site's, and (in lower case) the site a history is kept under.
template <typename Text> Text siteKeyOf(Text site)
{
    if (site.startsWith("http://"))
        site.remove(0, 7);
    if (site.startsWith("www."))
        site.remove(0, 4);
    if (site.endsWith('/'))
        site.chop(1);
    return site;
}

inline QByteArray SiteKey(const QByteArray& site)
{
    return siteKeyOf(site);
}

// The host of the CY request: without a leading "http://" and one trailing "/"; "www." stays.
QByteArray CyHost(const QByteArray& site);

// Google.com, Google.ru and MSN.com: every UTF-16 code unit of the keyword as percent-encoded
// UTF-8 (ASCII included); code units from 0x800 on become "%3F".
QByteArray UrlEncodeQuery(const QByteArray& keyword);

// Rambler.ru, Aport.ru and Yandex.ru: every space becomes "%20", nothing else changes.
QByteArray SpacesToPercent20(const QByteArray& keyword);
