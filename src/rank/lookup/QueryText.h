#pragma once

#include <QByteArray>

// Texts the lookups build from the site address and the keywords. All are byte strings in
// the ANSI code page (Windows-1251), as they go into URLs and patterns.

// The site address without a leading "http://", then a leading "www.", then one trailing "/".
QByteArray SiteKey(const QByteArray& site);

// The host of the CY request: without a leading "http://" and one trailing "/"; "www." stays.
QByteArray CyHost(const QByteArray& site);

// Google.com, Google.ru and MSN.com: every UTF-16 code unit of the keyword as percent-encoded
// UTF-8 (ASCII included); code units from 0x800 on become "%3F".
QByteArray UrlEncodeQuery(const QByteArray& keyword);

// Rambler.ru, Aport.ru and Yandex.ru: every space becomes "%20", nothing else changes.
QByteArray SpacesToPercent20(const QByteArray& keyword);
