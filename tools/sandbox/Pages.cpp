#include "Pages.h"

#include "ElfImage.h"
#include "platform/CodePage.h"
#include "platform/ElfExecutable.h"

namespace {

QByteArray ansi(const QString& text)
{
    return CodePage::toAnsi(text);
}

QByteArray escaped(const QString& text)
{
    return ansi(text.toHtmlEscaped());
}

QByteArray document(const QString& title, const QByteArray& body)
{
    return "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
           "<title>"
        + escaped(title) + "</title></head><body>\n" + body + "</body></html>\n";
}

QString engineTitle(Service engine)
{
    switch (engine) {
    case Service::GoogleCom:
        return QStringLiteral("Google");
    case Service::GoogleRu:
        return QStringLiteral("Google.ru");
    case Service::MSNCom:
        return QStringLiteral("MSN Search");
    case Service::RamblerRu:
        return QStringLiteral("Рамблер");
    case Service::AportRu:
        return QStringLiteral("Апорт");
    default:
        return QStringLiteral("Яндекс");
    }
}

QByteArray resultEntry(
    Service engine, const QByteArray& url, const QByteArray& title, const QByteArray& value, int googleLayout)
{
    const QByteArray snippet = ansi(QStringLiteral("Описание страницы"));
    switch (engine) {
    case Service::GoogleCom:
    case Service::GoogleRu:
        // The changed markup: the link sits in a span, with an attribute before its address.
        if (googleLayout == 2)
            return "<div class=\"MjjYud\"><span class=\"V9tjod\"><a jsname=\"UWckNb\" href=\"" + url
                + "\"><h3 class=\"LC20lb\">" + title + "</h3></a></span><div class=\"VwiC3b\">" + snippet
                + "</div></div>\n";
        return "<div class=\"g\"><h2 class=\"r\"><a href=\"" + url + "\" class=\"l\">" + title
            + "</a></h2><span class=\"s\">" + snippet + "</span></div>\n";
    case Service::MSNCom:
        return "<li class=\"sa_wr\"><h3><a href=\"" + url + "\">" + title + "</a></h3><p>" + snippet
            + "</p></li>\n";
    case Service::RamblerRu:
        return "<li><div class=\"ttl\"><a onclick=\"return rc(this)\" href=\"" + url + "\">" + title
            + "</a></div><p>" + snippet + "</p></li>\n";
    case Service::AportRu:
        return "<li value=" + value + "><span class=title><a href=\"" + url + "\">" + title
            + "</a></span><br>" + snippet + "</li>\n";
    default:
        return "<li class=\"b-serp-item\" value=" + value
            + "><div class=\"title\"><i class=\"b-serp-item__favicon\"></i><a "
              "class=\"b-serp-item__title-link\" "
              "href=\""
            + url + "\">" + title + "</a></div><div class=\"text\">" + snippet + "</div></li>\n";
    }
}

} // namespace

quint32 fnv1a(const QByteArray& bytes)
{
    quint32 hash = 2166136261u;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash;
}

quint32 Pages::hash(const QString& kind, const QString& text) const
{
    return fnv1a(QByteArray::number(m_seed) + '\0' + kind.toUtf8() + '\0' + text.toUtf8());
}

Placement Pages::defaultPlacement(Service engine, const QString& keyword) const
{
    // About a third of the keywords land on the first page, a quarter on the second, a quarter
    // further on and the rest nowhere.
    const quint32 h = hash(serviceKey(engine), keyword);
    const int size = pageSize(engine);
    const int entry = int((h / 20) % quint32(size)) + 1;
    const int bucket = int(h % 20);
    if (bucket < 7)
        return { 0, entry };
    if (bucket < 12)
        return { 1, entry };
    if (bucket < 17)
        return { 2 + int((h / 400) % 18), entry };
    return {};
}

QByteArray Pages::defaultCount(const QString& keyword) const
{
    return QByteArray::number(100 + hash(QStringLiteral("Wordstat"), keyword) % 99900);
}

QByteArray Pages::defaultCy(const QString& host) const
{
    return QByteArray::number((hash(QStringLiteral("YandexCY"), host) % 60) * 10);
}

QByteArray Pages::defaultPageRank(const QString& site) const
{
    return QByteArray::number(hash(QStringLiteral("PageRank"), site) % 11);
}

QByteArray Pages::resultPage(const ResultPageInput& input)
{
    const int size = pageSize(input.engine);
    QByteArray entries;
    for (int entry = 1; entry <= input.entries; ++entry) {
        const int overall = input.pageIndex * size + entry;
        const QByteArray number = QByteArray::number(overall);
        const bool isSite = input.placement.page == input.pageIndex && input.placement.entry == entry;
        if (isSite) {
            const QByteArray url = "http://" + ansi(input.site) + "/catalog/page.html";
            entries += resultEntry(
                input.engine, url, escaped(input.site), input.siteValue.value_or(number), input.googleLayout);
        } else {
            const QByteArray url = "http://www.site-" + number + ".ru/";
            entries += resultEntry(
                input.engine, url, ansi(QStringLiteral("Сайт номер ")) + number, number, input.googleLayout);
        }
    }
    const bool listed = input.engine != Service::GoogleCom && input.engine != Service::GoogleRu;
    const QByteArray list = listed ? "<ol>\n" + entries + "</ol>\n" : entries;
    return document(input.keyword + QStringLiteral(" — ") + engineTitle(input.engine),
        "<h1>" + escaped(engineTitle(input.engine)) + "</h1>\n" + list);
}

QByteArray Pages::wordstatPage(const QString& keyword, const QByteArray& countText)
{
    return document(QStringLiteral("Статистика слов"),
        "<table><tr><td>" + ansi(QStringLiteral("Что искали со словом")) + " &laquo;" + escaped(keyword)
            + "&raquo;&nbsp;&#151;&nbsp;" + countText + "&nbsp;" + ansi(QStringLiteral("показов в месяц"))
            + "</td></tr></table>\n");
}

QByteArray Pages::cyPage(const QString& host, const QByteArray& cyText)
{
    return document(QStringLiteral("Яндекс.Каталог"),
        "<p>" + escaped(host) + "</p>\n<p><b>" + ansi(QStringLiteral("Индекс цитирования (тИЦ) ресурса — "))
            + cyText + "</b></p>\n");
}

QByteArray Pages::pageRankPage(const QByteArray& prText)
{
    return document(QStringLiteral("PageRank"),
        "<form method=\"post\" action=\"/\"><input name=\"url\"></form>\n<p>PageRank: <b>" + prText
            + "</b></p>\n");
}

QByteArray Pages::updateFile(const QByteArray& fileVersion)
{
    QByteArray code("KSUPDATE");
    for (int i = 0; i < 248; ++i)
        code.append(char(i));
    // A program for this machine to the update's eyes, though its code does nothing.
    ElfImage image;
    if (const std::optional<ElfMachine> running = ElfExecutable::running()) {
        image.wide = running->elfClass == 2;
        image.bigEndian = running->byteOrder == 2;
        image.machine = running->machine;
    }
    image.loadable = true;
    image.sections << ElfImage::Section { ".text", code };
    if (!fileVersion.isEmpty())
        image.sections << ElfImage::Section { ".ks_version",
            "KSVERSIONINFO 1\n\\VarFileInfo\\Translation=04E30419\n"
            "\\StringFileInfo\\041904E3\\FileVersion="
                + fileVersion + "\n" + QByteArray(1, '\0') };
    return image.build();
}

QByteArray Pages::feedbackPage()
{
    return document(
        QStringLiteral("Заявка"), "<p>" + ansi(QStringLiteral("Спасибо, заявка принята.")) + "</p>\n");
}

QByteArray Pages::makerPage()
{
    return document(
        QStringLiteral("Kestrova Sertrix"), "<p>" + ansi(QStringLiteral("Локальная страница")) + "</p>\n");
}

QByteArray Pages::statusPage(int status, const QByteArray& reason)
{
    return document(QString::number(status), "<p>" + QByteArray::number(status) + " " + reason + "</p>\n");
}

QByteArray Pages::javaScriptWallPage()
{
    return document(QStringLiteral("Search"),
        "<noscript><meta content=\"0;url=/httpservice/retry/enablejs?sei=sandbox\" http-equiv=\"refresh\">"
        "<div>Please click <a href=\"/httpservice/retry/enablejs?sei=sandbox\">here</a> if you are not "
        "redirected within a few seconds.</div></noscript>\n");
}
