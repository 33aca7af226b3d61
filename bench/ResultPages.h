#pragma once

// Generated result pages for the benchmarks: pages of one engine's layout or of all six in turn,
// none holding the checked site, and hostile pages built to make the patterns backtrack.

#include "rank/lookup/Engine.h"

#include <QByteArray>

#include <map>
#include <string>
#include <tuple>

namespace ResultPages {

enum class Layout { GoogleCom, GoogleRu, YandexRu, RamblerRu, AportRu, MSNCom, Mixed };

inline Layout layoutOf(Engine engine)
{
    switch (engine) {
    case Engine::GoogleCom:
        return Layout::GoogleCom;
    case Engine::GoogleRu:
        return Layout::GoogleRu;
    case Engine::YandexRu:
        return Layout::YandexRu;
    case Engine::RamblerRu:
        return Layout::RamblerRu;
    case Engine::AportRu:
        return Layout::AportRu;
    case Engine::MSNCom:
        return Layout::MSNCom;
    }
    return Layout::Mixed;
}

// One result entry of a layout, with the page furniture around it.
inline QByteArray entry(Layout layout, int n)
{
    const QByteArray k = QByteArray::number(n);
    switch (layout) {
    case Layout::GoogleCom:
        return "<div class=g>\n<h2 class=r><a href=\"http://www.site" + k + ".ru/page.html\" class=l>Title "
            + k + "</a></h2><div class=s>Snippet text " + k + " &hellip; more words<br><cite>site" + k
            + ".ru/</cite></div></div>\n";
    case Layout::GoogleRu:
        return "<div class=\"g\"><a href=\"http://site" + k + ".com/?q=1&amp;p=2\">Title " + k
            + "</a><span class=f>12 Mar 2008</span></div>\r\n";
    case Layout::MSNCom:
        return "<li class=\"b-serp-item\" num=\"" + k + "\">\n  <h3>\n<a href=\"http://site" + k
            + ".ru/\" target=\"_blank\">\xCF\xF0\xE8\xEC\xE5\xF0 " + k
            + "</a></h3><div>\xD2\xE5\xEA\xF1\xF2</div></li>\n";
    case Layout::RamblerRu:
        return "<li>\n<div class=\"ttl\">\n<a onclick=\"return rc(this,{pos:" + k + "})\" href=\"http://site"
            + k + ".org/\">Title</a></div><p>Snippet</p></li>\n";
    case Layout::AportRu:
        return "<li value=" + k + ">\n<span class=title>\n<a href=\"http://www.site" + k
            + ".ru/\">Title</a></span><span class=url>site.ru</span></li>\n";
    case Layout::YandexRu:
        return "<li class=\"r\" value=" + k + " id=\"e" + k + "\">\n<div class=\"title\" id=\"t" + k
            + "\">\n<i class=\"ic\">\n</i>\n<a class=\"l\" href=\"http://site" + k
            + ".net/\">Title</a></div><p>Snippet</p></li>\n";
    case Layout::Mixed:
        break;
    }
    return entry(Layout(n % 6), n);
}

inline QByteArray resultPage(Layout layout, qint64 size)
{
    QByteArray page = "<html><head><title>Search</title></head><body><table><tr><td>"
                      "<a href=\"http://other.ru/catalog/\">Catalogue</a></td></tr></table>\n";
    for (int n = 1; page.size() < size - 200; ++n)
        page += entry(layout, n);
    page += "<p>Queries: &nbsp;&#151;&nbsp;12345&nbsp;</p><div class=pager><b>3</b> <a "
            "href=\"/?p=4\">4</a></div>"
            "</body></html>";
    return page;
}

// Pages that make a backtracking search slow down with the square of their length, or worse.
enum class Hostile {
    LiValueDigits, // "<li value=" and digits without ">"
    DivSpaces, // "<div>", spaces, a link without its opening quote
    OpenQuotes, // entries of every layout whose attribute quotes never close
    QuantifiedAddress, // links long enough for a site address with (a|aa)+b to explode on
    FixedCountAddress, // entries whose links hold 60,000 letters, for the site address a{60000}b
    LiRepeated, // "<li" over and over: a candidate every three bytes
};

inline const char* nameOf(Hostile family)
{
    switch (family) {
    case Hostile::LiValueDigits:
        return "li_value_digits";
    case Hostile::DivSpaces:
        return "div_spaces";
    case Hostile::OpenQuotes:
        return "open_quotes";
    case Hostile::QuantifiedAddress:
        return "quantified_address";
    case Hostile::FixedCountAddress:
        return "fixed_count_address";
    case Hostile::LiRepeated:
        return "li_repeated";
    }
    return "?";
}

inline const QByteArray kRequiredTail = "<p>http://example.com/ b <a href=\"http://site.ru/\"></p>";

inline QByteArray hostilePage(Hostile family, qint64 size)
{
    QByteArray page;
    page.reserve(size + 64);
    switch (family) {
    case Hostile::LiValueDigits:
        page = "<li value=";
        page += QByteArray(size - page.size() - kRequiredTail.size(), '7');
        break;
    case Hostile::DivSpaces:
        page = "<div>";
        page += QByteArray(size - page.size() - 12 - kRequiredTail.size(), ' ');
        page += "<a href=x \"";
        break;
    case Hostile::OpenQuotes:
        while (page.size() < size)
            page
                += "<div class=g><h2><a href=\"http://x <li class=r value=1><h3><a href=\"x "
                   "<li>\n<div class=\"ttl\">\n<a onclick=\"x <li value=1>\n<span class=title>\n<a href=\"x ";
        break;
    case Hostile::QuantifiedAddress:
        while (page.size() < size)
            page += "<li value=7>\n<span class=title>\n<a href=\"http://aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">"
                    "<li class=\"r\" value=7><div class=\"title\"><i></i><a href=\"http://"
                    "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\"></a></div></li>\n";
        break;
    case Hostile::FixedCountAddress:
        while (page.size() < size)
            page += "<li class=\"r\" value=7><div class=\"title\"><i></i><a href=\"http://"
                + QByteArray(60000, 'a') + "\"></a></div></li>\n";
        break;
    case Hostile::LiRepeated:
        while (page.size() < size)
            page += "<li";
        break;
    }
    // The texts every pattern requires somewhere after an entry's start, so that no page is
    // passed over for lacking them.
    page += kRequiredTail;
    return page;
}

// The site key a family is read with: the quantified address for its own family.
inline QByteArray siteKeyFor(Hostile family)
{
    switch (family) {
    case Hostile::QuantifiedAddress:
        return "(a|aa)+b";
    case Hostile::FixedCountAddress:
        return "a{60000}b";
    default:
        return "example.com";
    }
}

} // namespace ResultPages
