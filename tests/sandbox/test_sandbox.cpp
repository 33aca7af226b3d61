#include "net/Endpoints.h"
#include "support/SandboxEngines.h"
#include "update/UpdateSignature.h"

#include <QRegularExpression>
#include <QSettings>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

struct Reply {
    int status = 0;
    QByteArray head;
    QByteArray body;
};

QTcpSocket* connectTo(QTcpSocket& socket, const QString& host)
{
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    socket.connectToHost(host.left(colon), host.mid(colon + 1).toUShort());
    return socket.waitForConnected(5000) ? &socket : nullptr;
}

// Reads one reply with a Content-Length from a kept-alive connection; data keeps what came after it.
Reply readReply(QTcpSocket& socket, QByteArray& data, bool headOnly = false)
{
    Reply reply;
    while (true) {
        const qsizetype headEnd = data.indexOf("\r\n\r\n");
        if (headEnd >= 0) {
            reply.head = data.left(headEnd + 4);
            const QRegularExpression lengthHeader(QStringLiteral("\r\nContent-Length: (\\d+)\r\n"));
            const auto match = lengthHeader.match(QString::fromLatin1(reply.head));
            const qsizetype length = match.hasMatch() && !headOnly ? match.captured(1).toLongLong() : 0;
            if (data.size() >= headEnd + 4 + length) {
                reply.body = data.mid(headEnd + 4, length);
                reply.status = reply.head.mid(9, 3).toInt();
                data.remove(0, headEnd + 4 + length);
                return reply;
            }
        }
        if (!socket.waitForReadyRead(5000))
            return {};
        data += socket.readAll();
    }
}

Reply request(
    const QString& host, const QByteArray& method, const QByteArray& target, const QByteArray& body = {})
{
    QTcpSocket socket;
    if (!connectTo(socket, host))
        return {};
    socket.write(method + ' ' + target + " HTTP/1.1\r\nHost: " + host.toLatin1()
        + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: "
        + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    QByteArray data;
    return readReply(socket, data, method == "HEAD");
}

QByteArray googleTarget(const QByteArray& keyword, int pageIndex)
{
    return "/search?q=" + keyword + "&hl=ru&start=" + QByteArray::number(10 * pageIndex) + "&sa=N";
}

// The captured texts of every match of a pattern, read the way the program reads pages.
QStringList captures(const QByteArray& page, const QString& pattern, int group)
{
    QStringList found;
    const QRegularExpression expression(pattern, QRegularExpression::DotMatchesEverythingOption);
    auto matches = expression.globalMatch(QString::fromLatin1(page));
    while (matches.hasNext())
        found.append(matches.next().captured(group));
    return found;
}

const QString kGoogleEntry = QStringLiteral("<div[^<>]*?>\\s*?(<h2[^<>]*?>)*?\\s*?<a href=\"(.*?)\"");
const QByteArray kCat = "%D0%BA%D0%BE%D1%82"; // "кот"

} // namespace

TEST(SandboxEngines, EndpointsFileListsEveryService)
{
    SandboxEngines sandbox(7);
    ASSERT_TRUE(sandbox.started());
    QSettings ini(sandbox.endpointsFile(), QSettings::IniFormat);
    const QStringList keys = { "GoogleCom", "GoogleRu", "YandexRu", "Wordstat", "RamblerRu", "AportRu",
        "MSNCom", "PageRank", "YandexCY", "Update", "Feedback", "MakerSite", "PartnerSite" };
    for (const QString& key : keys) {
        const QString host = ini.value("hosts/" + key).toString();
        EXPECT_TRUE(host.startsWith("127.0.0.1:")) << key.toStdString();
        EXPECT_EQ(host, sandbox.host(key)) << key.toStdString();
    }
    EXPECT_EQ(ini.value("timing/RequestIntervalMs").toInt(), 7);
    EXPECT_TRUE(ini.value("sandbox/Control").toString().startsWith("127.0.0.1:"));
    const Reply update = request(sandbox.host("Update"), "HEAD", "/zlt.upd");
    EXPECT_EQ(update.status, 200);
    EXPECT_TRUE(update.head.contains("\r\nLast-Modified: "));
    const Reply file = request(sandbox.host("Update"), "GET", "/zlt.upd");
    EXPECT_TRUE(file.body.startsWith("\x7F"
                                     "ELF")); // a program file, carrying a version
    EXPECT_TRUE(file.body.contains("\\FileVersion=99.0.0.0\n"));
    EXPECT_TRUE(update.head.contains("\r\nContent-Length: " + QByteArray::number(file.body.size()) + "\r\n"));
    EXPECT_EQ(request(sandbox.host("Feedback"), "POST", "/promoscript/feedback_new.php", "a=1").status, 200);
    EXPECT_EQ(request(sandbox.host("MakerSite"), "GET", "/").status, 200);
}

TEST(SandboxEngines, PlacedKeywordIsThirdGoogleEntryOfSecondPage)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.command("place GoogleCom " + kCat + " 13"));
    // A check asks for the CY page first, which names the site to place.
    ASSERT_EQ(request(sandbox.host("YandexCY"), "GET", "/yca/cy/ch/www.kestrova.ru/").status, 200);

    for (int page = 0; page < 20; ++page) {
        const Reply reply = request(sandbox.host("GoogleCom"), "GET", googleTarget(kCat, page));
        ASSERT_EQ(reply.status, 200);
        EXPECT_TRUE(reply.head.contains("Content-Type: text/html; charset=windows-1251"));
        const QStringList links = captures(reply.body, kGoogleEntry, 2);
        ASSERT_EQ(links.size(), 10) << page;
        for (int entry = 0; entry < 10; ++entry)
            EXPECT_EQ(links[entry].contains("kestrova.ru"), page == 1 && entry == 2) << page << ' ' << entry;
    }
}

// Every engine's markup read with the program's own pattern gives the position that was placed.
TEST(SandboxEngines, EachEngineShowsThePlacedPositionToItsPattern)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.command("site www.example.ru\n"
                                "place MSNCom abc 11\n"
                                "place RamblerRu abc 34\n"
                                "place AportRu abc 1/3\n"
                                "value AportRu abc 27\n"
                                "place YandexRu abc 27\n"));
    const QString siteKey = QStringLiteral("example.ru");
    struct Engine {
        QString service;
        QString pattern;
        int group;
        int pageSize;
        bool valueAttribute;
        QByteArray (*target)(int);
    };
    const QList<Engine> engines = {
        { "MSNCom", "<li[^<>]*?>\\s*?<h3>\\s*?<a href=\"(.*?)\"", 1, 10, false,
            [](int i) {
                return "/results.aspx?FORM=PERE&first=" + QByteArray::number(10 * i + 1) + "&q=%61%62%63";
            } },
        { "RamblerRu", "<li>\\s*?<div class=\"ttl\">\\s*?<a onclick=\".*?\" href=\"(.*?)\"", 1, 15, false,
            [](int i) { return "/srch?oe=1251&start=" + QByteArray::number(15 * i + 1) + "&words=abc"; } },
        { "AportRu",
            "<li value=(\\d*?)>\\s*?<span class=title>\\s*?<a href=\"(http://www.|http://)" + siteKey, 1, 10,
            true, [](int i) { return "/scripts/template.dll?p=" + QByteArray::number(i) + "&r=abc"; } },
        { "YandexRu",
            "<li[^<>]*?value=(\\d*)[^<>]*?>\\s*?<div[^<>]*?class=\"title\"[^<>]*?>\\s*?<i[^<>]*?>\\s*?</"
            "i>\\s*?<a[^<>]*?"
            "href=\"(http://www.|http://)"
                + siteKey,
            1, 10, true, [](int i) { return "/yandpage?&p=" + QByteArray::number(i) + "&nl=0&text=abc"; } },
    };
    for (const Engine& engine : engines) {
        QString position = "n/a";
        for (int page = 0; page < 20 && position == "n/a"; ++page) {
            const Reply reply = request(sandbox.host(engine.service), "GET", engine.target(page));
            ASSERT_EQ(reply.status, 200);
            const QStringList found = captures(reply.body, engine.pattern, engine.group);
            if (engine.valueAttribute) {
                if (!found.isEmpty())
                    position = found.first();
                continue;
            }
            ASSERT_EQ(found.size(), engine.pageSize);
            for (int entry = 0; entry < found.size(); ++entry) {
                if (found[entry].contains(siteKey))
                    position = QString::number(engine.pageSize * page + entry + 1);
            }
        }
        const QString expected = engine.service == "MSNCom" ? "11"
            : engine.service == "RamblerRu"                 ? "34"
                                                            : "27";
        EXPECT_EQ(position, expected) << engine.service.toStdString();
    }
}

TEST(SandboxEngines, MisbehaviourLastsForItsCount)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(
        sandbox.command("status GoogleRu 500 2\nredirect GoogleRu 1\ncookie GoogleRu sid=42; path=/"));
    const QString host = sandbox.host("GoogleRu");
    EXPECT_EQ(request(host, "GET", googleTarget("%61", 0)).status, 500);
    EXPECT_EQ(request(host, "GET", googleTarget("%61", 0)).status, 500);
    const Reply redirect = request(host, "GET", googleTarget("%61", 0));
    EXPECT_EQ(redirect.status, 302);
    EXPECT_TRUE(redirect.head.contains("\r\nLocation: http://"));
    const Reply normal = request(host, "GET", googleTarget("%61", 0));
    EXPECT_EQ(normal.status, 200);
    EXPECT_TRUE(normal.head.contains("\r\nSet-Cookie: sid=42; path=/\r\n"));
    EXPECT_EQ(captures(normal.body, kGoogleEntry, 2).size(), 10);

    EXPECT_FALSE(sandbox.command("status Altavista 500"));
    EXPECT_FALSE(sandbox.command("status GoogleRu 500 0"));
    ASSERT_TRUE(sandbox.command("reset\nlocation200 GoogleCom"));
    EXPECT_FALSE(request(host, "GET", googleTarget("%61", 0)).head.contains("Set-Cookie"));
    const Reply located = request(sandbox.host("GoogleCom"), "GET", googleTarget("%61", 0));
    EXPECT_EQ(located.status, 200);
    EXPECT_TRUE(located.head.contains("\r\nLocation: http://"));
}

TEST(SandboxEngines, StalledRequestLeavesOtherConnectionsServed)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.command("stall MSNCom 1"));
    QTcpSocket stalled;
    ASSERT_TRUE(connectTo(stalled, sandbox.host("MSNCom")));
    stalled.write("GET /results.aspx?FORM=PERE&first=1&q=%61 HTTP/1.1\r\nHost: x\r\n\r\n");
    ASSERT_TRUE(stalled.waitForBytesWritten(5000));
    while (sandbox.requests("MSNCom").isEmpty())
        stalled.waitForReadyRead(10);

    EXPECT_EQ(request(sandbox.host("MSNCom"), "GET", "/results.aspx?FORM=PERE&first=1&q=%61").status, 200);
    stalled.waitForReadyRead(0);
    EXPECT_EQ(stalled.bytesAvailable(), 0);
    EXPECT_EQ(stalled.state(), QAbstractSocket::ConnectedState);
    ASSERT_TRUE(sandbox.command("reset"));
    EXPECT_TRUE(stalled.state() == QAbstractSocket::UnconnectedState || stalled.waitForDisconnected(5000));
}

TEST(SandboxEngines, KeepsConnectionsAliveAcrossSplitAndPipelinedRequests)
{
    SandboxEngines sandbox;
    QTcpSocket socket;
    ASSERT_TRUE(connectTo(socket, sandbox.host("GoogleCom")));
    const QByteArray first = "GET " + googleTarget("%61", 0) + " HTTP/1.1\r\nHost: x\r\n\r\n";
    // Through a proxy the request line holds the absolute address.
    const QByteArray second
        = "GET http://www.google.com" + googleTarget("%61", 1) + " HTTP/1.1\r\nHost: x\r\n\r\n";
    socket.write(first.left(10));
    ASSERT_TRUE(socket.waitForBytesWritten(5000));
    socket.write(first.mid(10) + second);
    QByteArray data;
    EXPECT_EQ(readReply(socket, data).status, 200);
    const Reply secondReply = readReply(socket, data);
    EXPECT_EQ(secondReply.status, 200);
    EXPECT_TRUE(secondReply.body.contains("http://www.site-11.ru/"));

    const QList<SandboxEngines::Request> log = sandbox.requests("GoogleCom");
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].connection, log[1].connection);
    EXPECT_EQ(log[0].head, first);
    EXPECT_EQ(log[1].target, "http://www.google.com" + googleTarget("%61", 1));
}

TEST(SandboxEngines, LogKeepsWindows1251KeywordBytes)
{
    SandboxEngines sandbox;
    const QByteArray target = "/srch?oe=1251&start=1&words=\xea\xee\xf2%20\xe8%20\xef\xb8\xf1";
    const Reply reply = request(sandbox.host("RamblerRu"), "GET", target);
    ASSERT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.body.contains("<title>\xea\xee\xf2 \xe8 \xef\xb8\xf1 \x97 ")); // "кот и пёс — "

    const Reply form = request(sandbox.host("PageRank"), "POST", "/", "url=http%3A%2F%2Fwww.example.ru%2F");
    const QList<SandboxEngines::Request> log = sandbox.requests();
    ASSERT_EQ(log.size(), 2);
    EXPECT_EQ(log[0].service, "RamblerRu");
    EXPECT_EQ(log[0].method, "GET");
    EXPECT_EQ(log[0].target, target);
    EXPECT_EQ(log[1].service, "PageRank");
    EXPECT_EQ(log[1].body, "url=http%3A%2F%2Fwww.example.ru%2F");
    EXPECT_EQ(captures(form.body, "<b>(\\d{1,2})</b>", 1).size(), 1);

    sandbox.clearRequests();
    EXPECT_TRUE(sandbox.requests().isEmpty());
}

TEST(SandboxEngines, MetricPagesCarryTheirFigures)
{
    SandboxEngines sandbox;
    const QString cyPattern = "<b>.*? (\\d+).*?</b>|<a href=.*?www.example.ru.*?>(\\d+?)</a>";
    const Reply cy = request(sandbox.host("YandexCY"), "GET", "/yca/cy/ch/www.example.ru/");
    const QStringList figures = captures(cy.body, cyPattern, 1);
    ASSERT_FALSE(figures.isEmpty());
    EXPECT_EQ(figures.first().toInt() % 10, 0);

    const QString countPattern = "&nbsp;&#151;&nbsp;(\\d*?)&nbsp;";
    const Reply count = request(sandbox.host("Wordstat"), "GET", "/stat/wordsstat.pl?text=abc");
    const QStringList counts = captures(count.body, countPattern, 1);
    ASSERT_EQ(counts.size(), 1);
    EXPECT_GE(counts.first().toInt(), 100);

    ASSERT_TRUE(sandbox.command("count Wordstat 1&nbsp;520\ncy 120\npr 7"));
    EXPECT_EQ(captures(request(sandbox.host("Wordstat"), "GET", "/stat/wordsstat.pl?text=abc").body,
                  countPattern, 1),
        QStringList { "1" });
    EXPECT_EQ(
        captures(request(sandbox.host("YandexCY"), "GET", "/yca/cy/ch/x.ru/").body, cyPattern, 1).first(),
        "120");
    EXPECT_EQ(captures(request(sandbox.host("PageRank"), "POST", "/", "url=x").body, "<b>(\\d{1,2})</b>", 1),
        QStringList { "7" });

    ASSERT_TRUE(sandbox.command("body PageRank 0\n<b>123</b> <b>5</b>"));
    EXPECT_EQ(request(sandbox.host("PageRank"), "POST", "/", "url=x").body, "<b>123</b> <b>5</b>");
}

TEST(SandboxEngines, PromotionRequestsAreRecordedAsReceived)
{
    SandboxEngines sandbox;
    ASSERT_TRUE(sandbox.started());
    const QString control
        = QSettings(sandbox.endpointsFile(), QSettings::IniFormat).value("sandbox/Control").toString();
    const QByteArray body = "Promoscript=&usr_category=ZAD+Order&&usr_name=%C8%E2%E0%ED";
    EXPECT_EQ(request(sandbox.host("Feedback"), "POST", "/promoscript/feedback_new.php", body).status, 200);
    EXPECT_EQ(request(sandbox.host("Feedback"), "POST", "/elsewhere", "x=1").status, 404);
    EXPECT_EQ(request(sandbox.host("GoogleCom"), "GET", googleTarget("kw", 0)).status, 200);

    const QList<SandboxEngines::Request> logged = sandbox.requests("Feedback");
    ASSERT_EQ(logged.size(), 2);
    EXPECT_EQ(logged[0].body, body);
    EXPECT_TRUE(logged[0].head.startsWith("POST /promoscript/feedback_new.php HTTP/1.1\r\n"));

    // The control port lists them raw, head and body, each followed by a blank line.
    const Reply listed = request(control, "GET", "/feedback");
    EXPECT_EQ(listed.status, 200);
    EXPECT_EQ(listed.body, logged[0].head + logged[0].body + "\r\n\r\n" + logged[1].head + "x=1\r\n\r\n");
}

TEST(SandboxEngines, UpdateFileComesWithItsSignatureAndTheKeyInTheEndpoints)
{
    SandboxEngines sandbox;
    const Endpoints endpoints = Endpoints::fromFile(sandbox.endpointsFile());
    ASSERT_EQ(endpoints.updatePublicKey.size(), UpdateSignature::kPublicKeyBytes);
    const Reply file = request(sandbox.host("Update"), "GET", "/zlt.upd");
    const Reply signature = request(sandbox.host("Update"), "GET", "/zlt.upd.sig");
    ASSERT_EQ(file.status, 200);
    ASSERT_EQ(signature.status, 200);
    EXPECT_TRUE(UpdateSignature::verify(file.body, signature.body, endpoints.updatePublicKey));
    EXPECT_EQ(request(sandbox.host("Update"), "GET", "/zlt.upd.sig2").status, 404);

    // The misbehaviours the update check is tested with.
    ASSERT_TRUE(sandbox.command("headlength Update 999\nmissing Update 1\nheader Update Last-Modified:"));
    const Reply head = request(sandbox.host("Update"), "HEAD", "/zlt.upd");
    EXPECT_TRUE(head.head.contains("\r\nContent-Length: 999\r\n"));
    EXPECT_FALSE(head.head.contains("Last-Modified"));
    EXPECT_EQ(request(sandbox.host("Update"), "GET", "/zlt.upd").body, file.body);
    EXPECT_EQ(request(sandbox.host("Update"), "GET", "/zlt.upd.sig").status, 404);
    EXPECT_FALSE(sandbox.command("headlength Update -1"));
    EXPECT_FALSE(sandbox.command("missing Update"));
}

TEST(SandboxEngines, PublishedDefinitionsComeSignedWithADateOfTheirOwn)
{
    SandboxEngines sandbox;
    const Endpoints endpoints = Endpoints::fromFile(sandbox.endpointsFile());
    const QString host = sandbox.host("Update");
    EXPECT_EQ(request(host, "HEAD", "/engines.ini").status, 404);
    EXPECT_EQ(request(host, "GET", "/engines.ini.sig").status, 404);

    const QByteArray first = "[definitions]\nVersion=9999.1\n";
    ASSERT_TRUE(sandbox.command("definitions\n" + first));
    const Reply head = request(host, "HEAD", "/engines.ini");
    ASSERT_EQ(head.status, 200);
    EXPECT_TRUE(head.head.contains("\r\nContent-Length: 29\r\n")) << head.head.constData();
    const QRegularExpression dated(
        QStringLiteral("\r\nLast-Modified: (\\w{3}, \\d\\d \\w{3} 2026 [0-9:]{8} GMT)\r\n"));
    const auto firstDate = dated.match(QString::fromLatin1(head.head));
    ASSERT_TRUE(firstDate.hasMatch()) << head.head.constData();
    const Reply file = request(host, "GET", "/engines.ini");
    const Reply signature = request(host, "GET", "/engines.ini.sig");
    EXPECT_EQ(file.body, first);
    EXPECT_TRUE(UpdateSignature::verify(file.body, signature.body, endpoints.updatePublicKey));

    // Another file, another date.
    ASSERT_TRUE(sandbox.command("definitions\n[definitions]\nVersion=9999.2\n"));
    const auto secondDate = dated.match(QString::fromLatin1(request(host, "HEAD", "/engines.ini").head));
    ASSERT_TRUE(secondDate.hasMatch());
    EXPECT_NE(secondDate.captured(1), firstDate.captured(1));

    // A tampered file keeps the signature of the published one.
    ASSERT_TRUE(sandbox.command("body Update 2\n[definitions]\nVersion=9999.3\n"));
    EXPECT_FALSE(UpdateSignature::verify(request(host, "GET", "/engines.ini").body,
        request(host, "GET", "/engines.ini.sig").body, endpoints.updatePublicKey));
    ASSERT_TRUE(sandbox.command("missing Update 3"));
    EXPECT_EQ(request(host, "GET", "/engines.ini.sig").status, 404);

    // An empty file withdraws them; so does reset.
    ASSERT_TRUE(sandbox.command("reset\ndefinitions\n" + first));
    EXPECT_EQ(request(host, "GET", "/engines.ini").body, first);
    ASSERT_TRUE(sandbox.command("definitions\n"));
    EXPECT_EQ(request(host, "GET", "/engines.ini").status, 404);
    ASSERT_TRUE(sandbox.command("definitions\n" + first + "reset"));
    ASSERT_TRUE(sandbox.command("reset"));
    EXPECT_EQ(request(host, "GET", "/engines.ini").status, 404);
    EXPECT_FALSE(sandbox.command("definitions extra"));
}
