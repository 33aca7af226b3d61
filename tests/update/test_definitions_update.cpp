#include "DefinitionsUpdateFixture.h"
#include "RecordingUpdateHost.h"

#include "rank/lookup/EngineDefinitions.h"

#include <QFileInfo>
#include <QTimer>

TEST_F(DefinitionsUpdateTest, UrlsAreThoseOfTheUpdateHost)
{
    Endpoints endpoints;
    endpoints.Update = QStringLiteral("updates.example:8080");
    const UpdateSource given = UpdateSource::fromEndpoints(endpoints);
    EXPECT_EQ(given.definitionsUrl, "https://updates.example:8080/engines.ini");
    EXPECT_EQ(given.definitionsSignatureUrl, "https://updates.example:8080/engines.ini.sig");
    endpoints.updateScheme = UrlScheme::Http;
    EXPECT_EQ(UpdateSource::fromEndpoints(endpoints).fileUrl, "http://updates.example:8080/zlt.upd");
}

TEST_F(DefinitionsUpdateTest, ANewerSignedFileIsInstalledAndTheOneItReplacesIsKept)
{
    const QByteArray first = definitionsFile("9999.1");
    ASSERT_TRUE(publish(first));
    expectInstalled("9999.1", first);
    EXPECT_FALSE(QFile::exists(files.previousFile));
    EXPECT_EQ(versionInUse(), QStringLiteral("9999.1"));

    const QByteArray second = definitionsFile("9999.2", "[RamblerRu]\nPageSize=15\n");
    ASSERT_TRUE(publish(second));
    expectInstalled("9999.2", second);
    expectSigned(files.previousFile, first);

    // The next load takes the new file: a check that starts now uses it.
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::Downloaded);
    EXPECT_EQ(loaded.definitions->version, QStringLiteral("9999.2"));
    EXPECT_TRUE(loaded.refusals.isEmpty());
}

TEST_F(DefinitionsUpdateTest, TheRequestsAreHeadThenTheFileThenItsSignature)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    ASSERT_EQ(run().result, DefinitionsUpdate::Result::Installed);
    EXPECT_EQ(methodsAndTargets(sandbox.requests(QStringLiteral("Update"))),
        (QStringList { "HEAD /engines.ini", "GET /engines.ini", "GET /engines.ini.sig" }));
}

TEST_F(DefinitionsUpdateTest, AHostWithoutDefinitionsHasNothingNew)
{
    const DefinitionsUpdate::Outcome outcome = run();
    EXPECT_EQ(outcome.result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(DefinitionsUpdate::menuLine(outcome), QString());
    EXPECT_EQ(
        methodsAndTargets(sandbox.requests(QStringLiteral("Update"))), QStringList { "HEAD /engines.ini" });
    EXPECT_FALSE(QFile::exists(files.downloadedFile));
}

TEST_F(DefinitionsUpdateTest, AnUnreachableHostIsNoSuccess)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    ASSERT_TRUE(sandbox.command("status Update 503"));
    const DefinitionsUpdate::Outcome outcome = run();
    EXPECT_EQ(outcome.result, DefinitionsUpdate::Result::Unreachable);
    EXPECT_EQ(DefinitionsUpdate::menuLine(outcome),
        QStringLiteral("Описания поисковых систем не проверены: сервер ответил кодом HTTP 503"));
    EXPECT_FALSE(QFile::exists(files.downloadedFile));

    // The file fails after a good HEAD: still no success, and the next check fetches it.
    ASSERT_TRUE(sandbox.command("reset\nstatus Update 200 1\nstatus Update 500 1"));
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    EXPECT_EQ(run().result, DefinitionsUpdate::Result::Unreachable);
    EXPECT_EQ(run().result, DefinitionsUpdate::Result::Installed);
}

TEST_F(DefinitionsUpdateTest, TheAutomaticCheckAsksOnceADayAndFetchesOnlyAChangedFile)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::Installed);
    EXPECT_EQ(sandbox.requests(QStringLiteral("Update")).size(), 3);

    sandbox.clearRequests();
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_TRUE(sandbox.requests(QStringLiteral("Update")).isEmpty());

    // The next day: HEAD alone, as the date and length are those already seen.
    EXPECT_EQ(run(true, kToday.addDays(1)).result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(
        methodsAndTargets(sandbox.requests(QStringLiteral("Update"))), QStringList { "HEAD /engines.ini" });

    // The menu asks whenever the user does.
    sandbox.clearRequests();
    EXPECT_EQ(run(false, kToday.addDays(1)).result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(
        methodsAndTargets(sandbox.requests(QStringLiteral("Update"))), QStringList { "HEAD /engines.ini" });

    // A new file on the host is fetched at the next day's check.
    sandbox.clearRequests();
    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    EXPECT_EQ(run(true, kToday.addDays(1)).result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(run(true, kToday.addDays(2)).result, DefinitionsUpdate::Result::Installed);
    EXPECT_EQ(versionInUse(), QStringLiteral("9999.2"));
}

TEST_F(DefinitionsUpdateTest, ADayWhoseAskFailedIsNotAskedAgainAutomatically)
{
    ASSERT_TRUE(sandbox.command("status Update 500 1"));
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::Unreachable);
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(sandbox.requests(QStringLiteral("Update")).size(), 1);
}

TEST_F(DefinitionsUpdateTest, ACancelledRequestEndsTheCheckAndIsAskedAgain)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    ASSERT_TRUE(sandbox.command("stall Update 1"));
    QTimer::singleShot(200, [this] { client.abort(); });
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::Cancelled);
    EXPECT_EQ(DefinitionsUpdate::menuLine({ DefinitionsUpdate::Result::Cancelled, {}, {}, {} }), QString());
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::Installed);
}

TEST_F(DefinitionsUpdateTest, TheDownloadDisplayRunsForTheFetchAndClosingItCancels)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    RecordingUpdateHost display;
    DefinitionsUpdate update(client, files, source);
    update.setDisplay(&display);
    EXPECT_EQ(update.run(false, kToday).result, DefinitionsUpdate::Result::Installed);
    EXPECT_EQ(display.downloads, 1);
    EXPECT_EQ(display.downloadsEnded, 1);
    EXPECT_GT(display.progressCalls, 0);

    // The display closed during the file's transfer stops it.
    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    ASSERT_TRUE(sandbox.command("status Update 200 1\nstall Update 1"));
    RecordingUpdateHost stalled;
    update.setDisplay(&stalled);
    QTimer::singleShot(300, [this] { client.abort(); });
    EXPECT_EQ(update.run(false, kToday).result, DefinitionsUpdate::Result::Cancelled);
    EXPECT_EQ(stalled.downloads, 1);
    EXPECT_EQ(stalled.downloadsEnded, 1);
    EXPECT_EQ(versionInUse(), QStringLiteral("9999.1"));
}

TEST_F(DefinitionsUpdateTest, AUserFileDoesNotCountAsTheVersionInUse)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(files.userFile).absolutePath()));
    QFile user(files.userFile);
    ASSERT_TRUE(user.open(QIODevice::WriteOnly));
    user.write(definitionsFile("99999.1"));
    user.close();
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    EXPECT_EQ(run().result, DefinitionsUpdate::Result::Installed);
}

namespace {

struct RefusalRow {
    const char* name;
    QList<QByteArray> commands; // sent in order after the file is published
    QByteArray published; // empty: a newer valid file
    DefinitionsUpdate::Refusal refusal;
    const char* menuLine;
};

void PrintTo(const RefusalRow& row, std::ostream* out)
{
    *out << row.name;
}

class RefusedDefinitions : public DefinitionsUpdateTest, public ::testing::WithParamInterface<RefusalRow> { };

QByteArray padded(const QByteArray& file, qint64 size)
{
    QByteArray bytes = file;
    while (bytes.size() <= size)
        bytes += "; a comment that only makes the file longer\n";
    return bytes;
}

QByteArray otherSignature()
{
    return UpdateSignature::sign(definitionsFile("9999.1"), UpdateSignature::generateKeyPair().secretKey);
}

} // namespace

TEST_P(RefusedDefinitions, LeavesTheDefinitionsInUseAlone)
{
    const RefusalRow& row = GetParam();
    // A file installed before stays, and so does its version.
    ASSERT_TRUE(publish(definitionsFile("9000.1")));
    ASSERT_EQ(run().result, DefinitionsUpdate::Result::Installed);
    const QByteArray installed = readAll(files.downloadedFile);

    ASSERT_TRUE(publish(row.published.isEmpty() ? definitionsFile("9999.1") : row.published));
    for (const QByteArray& command : row.commands)
        ASSERT_TRUE(sandbox.command(command)) << command.constData();

    const DefinitionsUpdate::Outcome outcome = run();
    EXPECT_EQ(outcome.result, DefinitionsUpdate::Result::Refused);
    EXPECT_EQ(outcome.refusal, row.refusal);
    EXPECT_EQ(DefinitionsUpdate::menuLine(outcome), QString::fromUtf8(row.menuLine))
        << DefinitionsUpdate::menuLine(outcome).toStdString();
    EXPECT_EQ(readAll(files.downloadedFile), installed);
    EXPECT_FALSE(QFile::exists(files.previousFile));
    EXPECT_EQ(versionInUse(), QStringLiteral("9000.1"));

    // Refused once, the same file is not fetched again.
    sandbox.clearRequests();
    EXPECT_EQ(run().result, DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(
        methodsAndTargets(sandbox.requests(QStringLiteral("Update"))), QStringList { "HEAD /engines.ini" });
}

INSTANTIATE_TEST_SUITE_P(Family, RefusedDefinitions,
    ::testing::Values(
        RefusalRow { "tampered", { "body Update 2\n" + definitionsFile("9999.1", "[MSNCom]\nPageSize=5\n") },
            {}, DefinitionsUpdate::Refusal::Unsigned,
            "Описания поисковых систем не приняты: подпись файла не верна или её нет." },
        RefusalRow { "unsigned", { "missing Update 3" }, {}, DefinitionsUpdate::Refusal::Unsigned,
            "Описания поисковых систем не приняты: подпись файла не верна или её нет." },
        RefusalRow { "other_key", { "body Update 3\n" + otherSignature() }, {},
            DefinitionsUpdate::Refusal::Unsigned,
            "Описания поисковых систем не приняты: подпись файла не верна или её нет." },
        RefusalRow { "short_signature", { "body Update 3\nshort" }, {}, DefinitionsUpdate::Refusal::Unsigned,
            "Описания поисковых систем не приняты: подпись файла не верна или её нет." },
        RefusalRow { "unknown_key", {}, definitionsFile("9999.1", "Colour=blue\n"),
            DefinitionsUpdate::Refusal::Invalid,
            "Описания поисковых систем не приняты: файл с ошибкой: [MSNCom] Colour (строка 6): неизвестный "
            "ключ." },
        RefusalRow { "older", {}, definitionsFile("2000.1"), DefinitionsUpdate::Refusal::NotNewer,
            "Описания поисковых систем не приняты: версия 2000.1 не новее используемой 9000.1." },
        RefusalRow { "equal", {}, definitionsFile("9000.1.0"), DefinitionsUpdate::Refusal::NotNewer,
            "Описания поисковых систем не приняты: версия 9000.1.0 не новее используемой 9000.1." },
        RefusalRow { "over_64_KiB", {}, padded(definitionsFile("9999.1"), 64 * 1024),
            DefinitionsUpdate::Refusal::TooLarge,
            "Описания поисковых систем не приняты: файл больше 64 КБ." },
        RefusalRow { "over_64_KiB_announced_short", { "headlength Update 100" },
            padded(definitionsFile("9999.1"), 64 * 1024), DefinitionsUpdate::Refusal::TooLarge,
            "Описания поисковых систем не приняты: файл больше 64 КБ." }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DefinitionsUpdateTest, AReplayedOlderFileNeverTakesTheVersionBack)
{
    const QByteArray older = definitionsFile("9999.1");
    ASSERT_TRUE(publish(older));
    ASSERT_EQ(run().result, DefinitionsUpdate::Result::Installed);
    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    ASSERT_EQ(run().result, DefinitionsUpdate::Result::Installed);
    ASSERT_TRUE(publish(older));
    EXPECT_EQ(run().refusal, DefinitionsUpdate::Refusal::NotNewer);
    EXPECT_EQ(versionInUse(), QStringLiteral("9999.2"));
}

TEST_F(DefinitionsUpdateTest, AnInstalledFileThatNoLongerVerifiesGivesWayToTheBuiltInVersion)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    ASSERT_EQ(run().result, DefinitionsUpdate::Result::Installed);
    QFile file(files.downloadedFile);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("; changed on disk\n");
    file.close();
    EXPECT_EQ(versionInUse(), EngineDefinitions::builtIn().version);
}

namespace {

struct StateRow {
    const char* name;
    QByteArray content; // of the state file before the automatic check
    bool asks;
};

void PrintTo(const StateRow& row, std::ostream* out)
{
    *out << row.name;
}

class RememberedState : public DefinitionsUpdateTest, public ::testing::WithParamInterface<StateRow> { };

} // namespace

TEST_P(RememberedState, DecidesWhetherTheAutomaticCheckAsks)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(files.deliveryState).absolutePath()));
    QFile state(files.deliveryState);
    ASSERT_TRUE(state.open(QIODevice::WriteOnly));
    state.write(GetParam().content);
    state.close();
    run(true);
    EXPECT_EQ(sandbox.requests(QStringLiteral("Update")).size(), GetParam().asks ? 1 : 0);
    // Whatever was there, today's ask is remembered.
    EXPECT_TRUE(readAll(files.deliveryState).startsWith("asked=2026-12-07\n"));
}

INSTANTIATE_TEST_SUITE_P(Files, RememberedState,
    ::testing::Values(StateRow { "asked_today", "asked=2026-12-07\n", false },
        StateRow { "asked_today_with_headers", "asked=2026-12-07\nlast-modified=x\nlength=12\n", false },
        StateRow { "asked_yesterday", "asked=2026-12-06\n", true }, StateRow { "empty", "", true },
        StateRow { "no_date", "asked=7.12.2026\n", true },
        StateRow { "binary", QByteArray("\0\xff\n=asked", 9), true },
        StateRow { "too_long", "asked=2026-12-07\n" + QByteArray(4096, ';'), true }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DefinitionsUpdateTest, AStateFileThatIsAFolderOnlyMeansFetchingAgain)
{
    ASSERT_TRUE(QDir().mkpath(files.deliveryState));
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    EXPECT_EQ(run(true).result, DefinitionsUpdate::Result::Installed);
    // Nothing remembered: the same file is fetched again, and its version stops it.
    EXPECT_EQ(run(true).refusal, DefinitionsUpdate::Refusal::NotNewer);
    EXPECT_EQ(sandbox.requests(QStringLiteral("Update")).size(), 6);
    EXPECT_TRUE(QFileInfo(files.deliveryState).isDir());
}

namespace {

struct AnnouncementRow {
    const char* name;
    QByteArray before; // commands shaping what the host announces of the first file
    QByteArray between; // and of the second, which has the same length
    bool fetched;
};

void PrintTo(const AnnouncementRow& row, std::ostream* out)
{
    *out << row.name;
}

class Announcement : public DefinitionsUpdateTest, public ::testing::WithParamInterface<AnnouncementRow> { };

const QByteArray kFixedDate = "header Update Last-Modified: Mon, 01 Jan 2024 00:00:00 GMT\n";

} // namespace

TEST_P(Announcement, DecidesWhetherTheMenuFetchesAFileOfTheSameLength)
{
    const AnnouncementRow& row = GetParam();
    if (!row.before.isEmpty()) {
        ASSERT_TRUE(sandbox.command(row.before));
    }
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    ASSERT_EQ(run().result, DefinitionsUpdate::Result::Installed);
    if (!row.between.isEmpty()) {
        ASSERT_TRUE(sandbox.command(row.between));
    }
    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    sandbox.clearRequests();

    const DefinitionsUpdate::Outcome outcome = run();
    EXPECT_EQ(outcome.result,
        row.fetched ? DefinitionsUpdate::Result::Installed : DefinitionsUpdate::Result::NothingNew);
    EXPECT_EQ(sandbox.requests(QStringLiteral("Update")).size(), row.fetched ? 3 : 1);
}

INSTANTIATE_TEST_SUITE_P(Headers, Announcement,
    ::testing::Values(AnnouncementRow { "neither_date_nor_tag", "header Update Last-Modified:", {}, true },
        AnnouncementRow { "date_changed", {}, {}, true },
        AnnouncementRow {
            "tag_changed", kFixedDate + "header Update ETag: \"a\"", "header Update ETag: \"b\"", true },
        AnnouncementRow { "tag_changed_without_date",
            "header Update Last-Modified:\nheader Update ETag: \"a\"", "header Update ETag: \"b\"", true },
        AnnouncementRow { "same_date_and_tag", kFixedDate + "header Update ETag: \"a\"", {}, false },
        AnnouncementRow {
            "same_tag_without_date", "header Update Last-Modified:\nheader Update ETag: \"a\"", {}, false },
        AnnouncementRow { "same_date_without_tag", kFixedDate, {}, false }),
    [](const auto& info) { return std::string(info.param.name); });
