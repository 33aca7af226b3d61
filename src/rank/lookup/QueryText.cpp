#include "rank/lookup/QueryText.h"

#include "platform/CodePage.h"

#include <QString>

namespace {

void appendEscaped(QByteArray& out, unsigned byte)
{
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[(byte >> 4) & 0xF];
    out += hex[byte & 0xF];
}

} // namespace

QByteArray CyHost(const QByteArray& site)
{
    QByteArray host = site.startsWith("http://") ? site.mid(7) : site;
    if (host.endsWith('/'))
        host.chop(1);
    return host;
}

QByteArray UrlEncodeQuery(const QByteArray& keyword)
{
    const QString text = CodePage::fromAnsi(keyword);
    QByteArray out;
    out.reserve(text.size() * 6);
    for (const QChar ch : text) {
        const unsigned c = ch.unicode();
        if (c < 0x80) {
            appendEscaped(out, c);
        } else if (c < 0x800) {
            appendEscaped(out, 0xC0 + (c >> 6));
            appendEscaped(out, 0x80 + (c & 0x3F));
        } else {
            out += "%3F";
        }
    }
    return out;
}

QByteArray SpacesToPercent20(const QByteArray& keyword)
{
    QByteArray out = keyword;
    return out.replace(" ", "%20");
}
