#include "RecordingUpdateHost.h"

#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "platform/ElfExecutable.h"
#include "support/SandboxEngines.h"
#include "update/UpdateCheck.h"
#include "update/UpdateFiles.h"
#include "update/UpdateSchedule.h"
#include "update/UpdateSignature.h"
#include "update/UpdateSource.h"
#include "update/UpdateVersion.h"

#include "ElfImage.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kSandboxVersion = QStringLiteral("Wed, 03 Sep 2008 10:00:00 GMT");
const QDate kToday(2026, 12, 7);

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.started());
        ASSERT_TRUE(folder.isValid());
        source = UpdateSource::fromEndpoints(Endpoints::fromFile(sandbox.endpointsFile()));
        files = UpdateFiles::beside(folder.filePath(QStringLiteral("kestrova-sertrix")));
        QFile exe(files.ExeFileName);
        ASSERT_TRUE(exe.open(QIODevice::WriteOnly));
        exe.write("old program");
        exe.close();
        exe.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    UpdateCheck::Outcome run(bool autoCheck = false)
    {
        return UpdateCheck(client, host).run(source, files, autoCheck, kToday);
    }

    QByteArray servedFile() { return client.get(source.fileUrl); }

    // The served file and its signature beside the executable, as a complete download left them.
    void leaveSignedFile()
    {
        writeFile(files.TempExeFileName, servedFile());
        writeFile(files.SignatureFileName, client.get(source.signatureUrl));
    }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void expectRefused(const char* why)
    {
        SCOPED_TRACE(why);
        EXPECT_EQ(run(), UpdateCheck::Outcome::Refused);
        EXPECT_EQ(host.errors,
            QStringList { QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.") });
        EXPECT_FALSE(QFile::exists(files.TempExeFileName));
        EXPECT_TRUE(host.version.isEmpty());
        EXPECT_TRUE(host.dateText.isEmpty());
        EXPECT_EQ(host.downloadsEnded, host.downloads);
        EXPECT_EQ(host.installs, 0);
        EXPECT_TRUE(host.messages.isEmpty());
    }

    SandboxEngines sandbox;
    QTemporaryDir folder;
    UpdateSource source;
    UpdateFiles files;
    HttpClient client { HttpVersion::Http11 };
    RecordingUpdateHost host;
};

} // namespace

TEST_F(UpdateCheckTest, AFailedHeadIsReportedWithItsReasonOnlyWhenAskedFor)
{
    for (const bool autoCheck : { false, true }) {
        RecordingUpdateHost fresh;
        ASSERT_TRUE(sandbox.command("status Update 500 1"));
        QFile leftover(files.TempExeFileName);
        ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
        leftover.close();
        EXPECT_EQ(UpdateCheck(client, fresh).run(source, files, autoCheck, kToday),
            UpdateCheck::Outcome::NoUpdates);
        if (autoCheck) {
            EXPECT_TRUE(fresh.messages.isEmpty()) << fresh.messages.join(u'|').toStdString();
        } else {
            ASSERT_EQ(fresh.messages.size(), 1);
            EXPECT_TRUE(
                fresh.messages[0].startsWith(QStringLiteral("Не удалось проверить наличие обновлений: ")));
            EXPECT_TRUE(fresh.messages[0].contains(QStringLiteral("500"))) << fresh.messages[0].toStdString();
        }
        // Not even the leftover file leads to a restart.
        EXPECT_EQ(fresh.installs, 0);
        EXPECT_EQ(sandbox.requests(QStringLiteral("Update")).size(), 1);
        sandbox.clearRequests();
    }
}

// A host that answers that it has no update file means there is none, in the automatic check too;
// the host is asked in view of the user, who may cancel.
TEST_F(UpdateCheckTest, NoUpdateFileOnTheHostSaysSoEvenAutomatically)
{
    for (const char* status : { "404", "410" }) {
        for (const bool autoCheck : { false, true }) {
            RecordingUpdateHost fresh;
            ASSERT_TRUE(sandbox.command(QByteArray("reset\nstatus Update ") + status + " 1"));
            EXPECT_EQ(UpdateCheck(client, fresh).run(source, files, autoCheck, kToday),
                UpdateCheck::Outcome::NoUpdates);
            EXPECT_EQ(fresh.messages, QStringList { QStringLiteral("Нет доступных обновлений.") }) << status;
            EXPECT_EQ(fresh.asks, autoCheck ? 0 : 1);
            EXPECT_EQ(fresh.asksEnded, fresh.asks);
        }
    }
}

TEST_F(UpdateCheckTest, HeadFailsOnRedirectsAndOnAClosedPort)
{
    ASSERT_TRUE(sandbox.command("redirect Update 1"));
    EXPECT_EQ(run(), UpdateCheck::Outcome::NoUpdates);
    source.fileUrl = "http://127.0.0.1:1/zlt.upd";
    EXPECT_EQ(run(), UpdateCheck::Outcome::NoUpdates);
    ASSERT_EQ(host.messages.size(), 2);
    for (const QString& message : host.messages) {
        EXPECT_TRUE(message.startsWith(QStringLiteral("Не удалось проверить наличие обновлений: ")))
            << message.toStdString();
        EXPECT_GT(message.size(), 42) << "no reason given";
    }
    EXPECT_NE(host.messages[0], host.messages[1]);
}

TEST_F(UpdateCheckTest, UnchangedFileIsReportedOnlyWhenAskedFor)
{
    host.version = kSandboxVersion;
    EXPECT_EQ(run(true), UpdateCheck::Outcome::UpToDate);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(run(false), UpdateCheck::Outcome::UpToDate);
    EXPECT_EQ(host.messages, QStringList { QStringLiteral("Обновление не требуется.") });
    EXPECT_TRUE(host.questions.isEmpty());
    // Only HEAD requests were made.
    for (const auto& request : sandbox.requests(QStringLiteral("Update")))
        EXPECT_EQ(request.method, "HEAD");
}

TEST_F(UpdateCheckTest, ComparisonIsExactAndCaseSensitive)
{
    host.version = kSandboxVersion.toLower();
    host.answers = { false };
    EXPECT_EQ(run(), UpdateCheck::Outcome::Declined);
    EXPECT_EQ(host.questions, QStringList { QStringLiteral("Доступна новая версия. Обновить?") });
}

TEST_F(UpdateCheckTest, ChangedFileIsDownloadedVerifiedWrittenAndInstalled)
{
    host.version = QStringLiteral("Mon, 01 Jan 2007 00:00:00 GMT");
    EXPECT_EQ(run(true), UpdateCheck::Outcome::Downloaded);
    EXPECT_EQ(host.questions, QStringList { QStringLiteral("Доступна новая версия. Обновить?") });
    const QByteArray served = servedFile();
    EXPECT_EQ(readAll(files.TempExeFileName), served);
    EXPECT_EQ(readAll(files.SignatureFileName), client.get(source.signatureUrl));
    EXPECT_TRUE(QFile::permissions(files.TempExeFileName) & QFile::ExeOwner);
    EXPECT_EQ(host.version, kSandboxVersion);
    EXPECT_EQ(host.dateText, UpdateSchedule::formatDate(kToday));
    EXPECT_EQ(host.downloads, 1);
    EXPECT_EQ(host.downloadsEnded, 1);
    EXPECT_EQ(host.lastReceived, served.size());
    EXPECT_EQ(host.lastTotal, served.size());
    EXPECT_TRUE(host.errors.isEmpty());
    // The restart is announced, the values stored, and the replacement started, in that order.
    EXPECT_EQ(host.messages,
        QStringList { QStringLiteral(
            "Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск.") });
    EXPECT_EQ(host.stores, 1);
    EXPECT_EQ(host.installs, 1);
}

TEST_F(UpdateCheckTest, HeadThenGetThenTheSignature)
{
    run();
    QList<QByteArray> requests;
    for (const auto& request : sandbox.requests(QStringLiteral("Update")))
        requests << request.method + ' ' + request.target;
    EXPECT_EQ(requests, QList<QByteArray>({ "HEAD /zlt.upd", "GET /zlt.upd", "GET /zlt.upd.sig" }));
}

TEST_F(UpdateCheckTest, RequestsCarryTheProfileWithoutCookies)
{
    ASSERT_TRUE(sandbox.command("cookie Update id=1"));
    host.answers = { false, false };
    run();
    run();
    const auto requests = sandbox.requests(QStringLiteral("Update"));
    ASSERT_EQ(requests.size(), 2);
    const QByteArray head = requests[1].head;
    EXPECT_TRUE(head.startsWith("HEAD /zlt.upd HTTP/1.1\r\n")) << head.constData();
    for (const char* line :
        { "\r\nCache-control: no-cache\r\n", "\r\nPragma: no-cache\r\n", "\r\nAccept: text/html, */*\r\n",
            "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n" })
        EXPECT_TRUE(head.contains(line)) << line;
    EXPECT_FALSE(head.contains("Cookie"));
}

TEST_F(UpdateCheckTest, NoWithALeftoverFileStillRestarts)
{
    leaveSignedFile();
    const QByteArray leftover = readAll(files.TempExeFileName);
    host.answers = { false };
    EXPECT_EQ(run(), UpdateCheck::Outcome::Declined);
    EXPECT_EQ(host.messages,
        QStringList { QStringLiteral(
            "Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск.") });
    EXPECT_EQ(host.stores, 1);
    EXPECT_EQ(host.installs, 1);
    EXPECT_EQ(readAll(files.TempExeFileName), leftover);
}

TEST_F(UpdateCheckTest, ALeftoverThatNoLongerVerifiesIsRemovedNotInstalled)
{
    struct Row {
        const char* name;
        std::function<void()> spoil;
    };
    const Row rows[] = {
        { "without its signature", [&] { QFile::remove(files.SignatureFileName); } },
        { "changed after the download", [&] { writeFile(files.TempExeFileName, servedFile() + "x"); } },
        { "signed by another key", [&] { source.publicKey = UpdateSignature::generateKeyPair().publicKey; } },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingUpdateHost fresh;
        fresh.version = kSandboxVersion;
        leaveSignedFile();
        row.spoil();
        EXPECT_EQ(UpdateCheck(client, fresh).run(source, files, true, kToday), UpdateCheck::Outcome::Refused);
        EXPECT_EQ(fresh.errors,
            QStringList { QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.") });
        EXPECT_EQ(fresh.installs, 0);
        EXPECT_TRUE(fresh.messages.isEmpty());
        EXPECT_FALSE(QFile::exists(files.TempExeFileName));
        EXPECT_FALSE(QFile::exists(files.SignatureFileName));
        source = UpdateSource::fromEndpoints(Endpoints::fromFile(sandbox.endpointsFile()));
    }
}

TEST_F(UpdateCheckTest, AFailedCopyIsSaidOnceWithItsReasonAndNeverRestartedFor)
{
    leaveSignedFile();
    writeFile(files.FailureFileName, "cp: error writing 'kestrova-sertrix.new': No space left on device\n");
    host.version = kSandboxVersion;

    EXPECT_EQ(run(true), UpdateCheck::Outcome::Refused);
    EXPECT_EQ(host.errors,
        QStringList { QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.\n"
                                     "Обновление не удалось установить: cp: error writing "
                                     "'kestrova-sertrix.new': No space left on device") });
    EXPECT_EQ(host.installs, 0);
    EXPECT_TRUE(host.messages.isEmpty());
    for (const QString& left : { files.TempExeFileName, files.SignatureFileName, files.FailureFileName })
        EXPECT_FALSE(QFile::exists(left)) << left.toStdString();

    // The next check finds nothing left to say or to install.
    EXPECT_EQ(run(true), UpdateCheck::Outcome::UpToDate);
    EXPECT_EQ(host.errors.size(), 1);
    EXPECT_EQ(host.installs, 0);
}

TEST_F(UpdateCheckTest, NoWithoutALeftoverFileEndsQuietly)
{
    host.answers = { false };
    EXPECT_EQ(run(), UpdateCheck::Outcome::Declined);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(host.installs, 0);
    EXPECT_EQ(host.downloads, 0);
}

TEST_F(UpdateCheckTest, UnchangedFileWithALeftoverRestartsToo)
{
    host.version = kSandboxVersion;
    leaveSignedFile();
    EXPECT_EQ(run(true), UpdateCheck::Outcome::UpToDate);
    EXPECT_EQ(host.messages,
        QStringList { QStringLiteral(
            "Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск.") });
    EXPECT_EQ(host.installs, 1);
}

TEST_F(UpdateCheckTest, LongerAnnouncedLengthIsAMismatch)
{
    ASSERT_TRUE(sandbox.command("headlength Update " + QByteArray::number(servedFile().size() + 1)));
    expectRefused("file shorter than announced");
}

TEST_F(UpdateCheckTest, ShorterAnnouncedLengthIsAMismatch)
{
    ASSERT_TRUE(sandbox.command("headlength Update " + QByteArray::number(servedFile().size() - 1)));
    expectRefused("file longer than announced");
}

TEST_F(UpdateCheckTest, MissingOrZeroLengthIsRefusedWithoutADownload)
{
    ASSERT_TRUE(sandbox.command("headlength Update 0"));
    expectRefused("zero length");
    for (const auto& request : sandbox.requests(QStringLiteral("Update")))
        EXPECT_EQ(request.method, "HEAD");
}

TEST_F(UpdateCheckTest, TamperedFileIsRefused)
{
    QByteArray tampered = servedFile();
    tampered[10] = char(tampered[10] ^ 1);
    ASSERT_TRUE(sandbox.command("body Update 0\n" + tampered));
    expectRefused("tampered file");
}

TEST_F(UpdateCheckTest, MissingSignatureIsRefused)
{
    ASSERT_TRUE(sandbox.command("missing Update 1"));
    expectRefused("missing signature");
}

TEST_F(UpdateCheckTest, TruncatedOrOverlongSignatureIsRefused)
{
    const QByteArray signature = client.get(source.signatureUrl);
    ASSERT_EQ(signature.size(), UpdateSignature::kSignatureBytes);
    ASSERT_TRUE(sandbox.command("body Update 1\n" + signature.left(63)));
    expectRefused("truncated signature");
    host.errors.clear();
    ASSERT_TRUE(sandbox.command("reset\nbody Update 1\n" + signature + 'x'));
    expectRefused("signature with a byte more");
}

TEST_F(UpdateCheckTest, SignatureOfAnotherKeyIsRefused)
{
    source.publicKey = UpdateSignature::generateKeyPair().publicKey;
    expectRefused("another key");
}

TEST_F(UpdateCheckTest, FailingSignatureRequestIsRefusedNotAnError)
{
    source.signatureUrl = "http://127.0.0.1:1/zlt.upd.sig";
    expectRefused("signature host unreachable");
}

struct OfferedBuild {
    const char* name;
    QByteArray version; // the file version the signed file carries; "-": none
};

class NotNewerBuild : public UpdateCheckTest, public ::testing::WithParamInterface<OfferedBuild> { };

TEST_P(NotNewerBuild, IsRefusedButRememberedSoItIsNotOfferedAgain)
{
    ASSERT_TRUE(sandbox.command("updateversion " + GetParam().version));
    host.version = QStringLiteral("Mon, 01 Jan 2007 00:00:00 GMT");

    EXPECT_EQ(run(), UpdateCheck::Outcome::NotNewer);

    EXPECT_EQ(
        host.errors, QStringList { QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.") });
    EXPECT_FALSE(QFile::exists(files.TempExeFileName));
    EXPECT_EQ(readAll(files.ExeFileName), "old program");
    EXPECT_EQ(host.installs, 0);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(host.downloadsEnded, 1);
    EXPECT_EQ(host.version, kSandboxVersion);
    EXPECT_EQ(host.dateText, UpdateSchedule::formatDate(kToday));
    // The next check finds the file as remembered and downloads nothing.
    sandbox.clearRequests();
    EXPECT_EQ(run(true), UpdateCheck::Outcome::UpToDate);
    ASSERT_EQ(sandbox.requests(QStringLiteral("Update")).size(), 1);
    EXPECT_EQ(sandbox.requests(QStringLiteral("Update"))[0].method, "HEAD");
}

INSTANTIATE_TEST_SUITE_P(Downgrades, NotNewerBuild,
    ::testing::Values(OfferedBuild { "TheRunningVersion", KS_EXPECTED_FILE_VERSION },
        OfferedBuild { "AnOlderBuild", "1.0.0.0" }, OfferedBuild { "AnOlderPatch", "1.3.2.109" },
        OfferedBuild { "NoVersionAtAll", "-" }, OfferedBuild { "NotAVersion", "latest" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateCheckTest, ANewerSignedBuildIsInstalled)
{
    ASSERT_TRUE(sandbox.command("updateversion 1.3.10.0"));
    EXPECT_EQ(run(), UpdateCheck::Outcome::Downloaded);
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_EQ(readAll(files.TempExeFileName), servedFile());
    EXPECT_EQ(host.installs, 1);
}

// A signed file of a newer version that this machine cannot run as its program is refused before
// it replaces anything, and remembered so that it is not fetched again.
TEST_F(UpdateCheckTest, ASignedFileThatIsNoProgramOfThisMachineIsRefused)
{
    const std::optional<ElfMachine> running = ElfExecutable::running();
    ASSERT_TRUE(running);
    const auto program = [&](std::function<void(ElfImage&)> change) {
        ElfImage image;
        image.wide = running->elfClass == 2;
        image.machine = running->machine;
        image.loadable = true;
        image.sections << ElfImage::Section { ".text", QByteArray(64, '\x90') }
                       << ElfImage::Section { ".ks_version",
                              "KSVERSIONINFO 1\n\\VarFileInfo\\Translation=04E30419\n"
                              "\\StringFileInfo\\041904E3\\FileVersion=1.3.10.0\n"
                                  + QByteArray(1, '\0') };
        change(image);
        return image.build();
    };
    const std::pair<const char*, QByteArray> rows[] = {
        { "a shell script", "#!/bin/sh\n# FileVersion=1.3.10.0\nexit 0\n" },
        { "sections without a loadable segment", program([](ElfImage& image) { image.loadable = false; }) },
        { "another machine",
            program([&](ElfImage& image) { image.machine = running->machine == 183 ? 62 : 183; }) },
        { "another word size", program([](ElfImage& image) { image.wide = !image.wide; }) },
    };
    const UpdateSignature::KeyPair key = UpdateSignature::generateKeyPair();
    source.publicKey = key.publicKey;
    for (const auto& [name, file] : rows) {
        SCOPED_TRACE(name);
        RecordingUpdateHost fresh;
        ASSERT_TRUE(sandbox.command("reset\nbody Update 0\n" + file));
        ASSERT_TRUE(sandbox.command("body Update 1\n" + UpdateSignature::sign(file, key.secretKey)));
        EXPECT_EQ(
            UpdateCheck(client, fresh).run(source, files, false, kToday), UpdateCheck::Outcome::Refused);
        EXPECT_EQ(fresh.errors,
            QStringList { QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.") });
        EXPECT_FALSE(QFile::exists(files.TempExeFileName));
        EXPECT_EQ(readAll(files.ExeFileName), "old program");
        EXPECT_EQ(fresh.installs, 0);
        EXPECT_EQ(fresh.version, kSandboxVersion);
    }
    // The same file that is a program of this machine is taken.
    const QByteArray good = program([](ElfImage&) {});
    ASSERT_TRUE(sandbox.command("reset\nbody Update 0\n" + good));
    ASSERT_TRUE(sandbox.command("body Update 1\n" + UpdateSignature::sign(good, key.secretKey)));
    EXPECT_EQ(run(), UpdateCheck::Outcome::Downloaded);
}

TEST(UpdateVersion, OnlyALaterVersionIsNewer)
{
    struct Row {
        const char* offered;
        const char* current;
        bool newer;
    };
    const Row rows[] = {
        { "1.3.2.111", "1.3.2.110", true },
        { "1.3.10.0", "1.3.9.999", true },
        { "2", "1.99.99.99", true },
        { "1.3.2.1", "1.3.2", true },
        { "1.3.2.110", "1.3.2.110", false },
        { "1.3.2", "1.3.2.0", false },
        { "1.3.2.109", "1.3.2.110", false },
        { "1.2.99.0", "1.3.0.0", false },
        { "", "1.3.2.110", false },
        { "1.3.2.110.1", "1.3.2.110", false },
        { "1.3.x", "1.3.2.110", false },
        { "-1.4", "1.3.2.110", false },
        { "9.0", "", false },
    };
    for (const Row& row : rows)
        EXPECT_EQ(UpdateVersion::isNewer(QString::fromLatin1(row.offered), QString::fromLatin1(row.current)),
            row.newer)
            << row.offered << " over " << row.current;
}

TEST(UpdateVersion, TheRunningVersionIsTheBuildsAndAFileCarriesItsOwn)
{
    EXPECT_EQ(UpdateVersion::running(), QStringLiteral(KS_EXPECTED_FILE_VERSION));
    ElfImage image;
    image.sections << ElfImage::Section { ".ks_version",
        "KSVERSIONINFO "
        "1\n\\VarFileInfo\\Translation=04E30419\n\\StringFileInfo\\041904E3\\FileVersion=1.4.0.7\n" };
    EXPECT_EQ(UpdateVersion::ofImage(image.build()), QStringLiteral("1.4.0.7"));
    EXPECT_EQ(UpdateVersion::ofImage("KSUPDATE"), QString());
}

TEST_F(UpdateCheckTest, HostWithoutLastModified)
{
    ASSERT_TRUE(sandbox.command("header Update Last-Modified:"));
    // Nothing stored yet: the empty header text equals it.
    EXPECT_EQ(run(), UpdateCheck::Outcome::UpToDate);
    EXPECT_EQ(host.messages, QStringList { QStringLiteral("Обновление не требуется.") });

    // Once a text is stored, the update is offered and the stored text becomes empty.
    host.messages.clear();
    host.version = kSandboxVersion;
    EXPECT_EQ(run(), UpdateCheck::Outcome::Downloaded);
    EXPECT_TRUE(host.version.isEmpty());
    EXPECT_EQ(host.dateText, UpdateSchedule::formatDate(kToday));
}

TEST_F(UpdateCheckTest, TransportErrorDuringTheDownloadEndsTheCheckAfterTheDisplayCloses)
{
    host.version = kSandboxVersion + QStringLiteral(" earlier");
    ASSERT_TRUE(sandbox.command("headlength Update 100000\nstatus Update 200 1\nstatus Update 503 1"));
    EXPECT_THROW(run(), EHttpError);
    EXPECT_EQ(host.downloads, 1);
    EXPECT_EQ(host.downloadsEnded, 1);
    EXPECT_FALSE(QFile::exists(files.TempExeFileName));
    EXPECT_EQ(host.version, kSandboxVersion + QStringLiteral(" earlier"));
    EXPECT_TRUE(host.errors.isEmpty());
    EXPECT_EQ(host.installs, 0);
}

TEST_F(UpdateCheckTest, FolderThatCannotBeWrittenGetsAMessageInsteadOfADownload)
{
    // No file can be created in /proc, not even by the superuser.
    files = UpdateFiles::beside(QStringLiteral("/proc/kestrova-sertrix"));
    ASSERT_FALSE(files.folderWritable());
    EXPECT_EQ(run(true), UpdateCheck::Outcome::NotWritable);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(run(false), UpdateCheck::Outcome::NotWritable);
    EXPECT_EQ(host.messages, QStringList { UpdateCheck::notWritableText(QStringLiteral("/proc")) });
    EXPECT_TRUE(host.questions.isEmpty());
    EXPECT_EQ(host.downloads, 0);
    EXPECT_EQ(host.installs, 0);
}

TEST_F(UpdateCheckTest, APackageInstallIsToldToInstallANewPackageWithoutAskingTheHost)
{
    files.packaged = true; // even where the folder could be written (the superuser)
    source.fileUrl = "http://127.0.0.1:1/zlt.upd"; // the host cannot be reached
    source.homePage = QStringLiteral("http://www.kestrova.ru/");
    EXPECT_EQ(run(true), UpdateCheck::Outcome::NotWritable);
    EXPECT_TRUE(host.messages.isEmpty());
    EXPECT_EQ(run(false), UpdateCheck::Outcome::NotWritable);
    EXPECT_EQ(host.messages,
        QStringList {
            QStringLiteral("Программа установлена из пакета kestrova-sertrix и не обновляет себя сама.\n"
                           "Чтобы получить новую версию, установите новый пакет программы с её сайта:\n"
                           "http://www.kestrova.ru/") });
    EXPECT_TRUE(host.questions.isEmpty());
    EXPECT_EQ(host.downloads, 0);
    EXPECT_TRUE(sandbox.requests(QStringLiteral("Update")).isEmpty());
    EXPECT_FALSE(QFile::exists(files.TempExeFileName));
}

TEST(UpdateSourceOf, TheEndpointsNameTheProgramsHomePage)
{
    Endpoints endpoints = Endpoints::defaults();
    EXPECT_EQ(UpdateSource::fromEndpoints(endpoints).homePage, QStringLiteral("http://www.kestrova.ru/"));
}

TEST(UpdateFiles, AnExecutableListedByThePackageIsPackaged)
{
    QTemporaryDir dir;
    const QString exe = dir.filePath("kestrova-sertrix");
    QFile(exe).open(QIODevice::WriteOnly);
    QFile list(dir.filePath("kestrova-sertrix.list"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("/.\n/usr\n/usr/bin\n" + exe.toUtf8() + "\n/usr/share/man\n");
    list.close();
    EXPECT_TRUE(UpdateFiles::listedIn(list.fileName(), exe));
    EXPECT_FALSE(UpdateFiles::listedIn(list.fileName(), dir.filePath("other")));
    EXPECT_FALSE(UpdateFiles::listedIn(dir.filePath("missing.list"), exe));
}

TEST_F(UpdateCheckTest, OverlongLastModifiedIsCutBeforeItIsRemembered)
{
    const QByteArray longText(5000, 'x');
    ASSERT_TRUE(sandbox.command("header Update Last-Modified: " + longText));
    EXPECT_EQ(run(), UpdateCheck::Outcome::Downloaded);
    EXPECT_EQ(host.version.size(), UpdateCheck::kMaxVersionChars);
    host.messages.clear();
    EXPECT_EQ(run(), UpdateCheck::Outcome::UpToDate);
}

TEST_F(UpdateCheckTest, WithoutTheProgramsPathNothingIsAskedNorDownloaded)
{
    const UpdateFiles nowhere = UpdateFiles::beside(QString());
    EXPECT_TRUE(nowhere.TempExeFileName.isEmpty());
    EXPECT_TRUE(nowhere.BatchFileName.isEmpty());
    EXPECT_EQ(
        UpdateCheck(client, host).run(source, nowhere, false, kToday), UpdateCheck::Outcome::NotWritable);
    EXPECT_EQ(host.messages,
        QStringList { QStringLiteral(
            "Обновление не может быть установлено: не удалось определить путь к файлу программы.") });
    EXPECT_EQ(
        UpdateCheck(client, host).run(source, nowhere, true, kToday), UpdateCheck::Outcome::NotWritable);
    EXPECT_EQ(host.messages.size(), 1);
    EXPECT_TRUE(sandbox.requests(QStringLiteral("Update")).isEmpty());
    EXPECT_EQ(host.downloads, 0);
    EXPECT_TRUE(host.version.isEmpty());
}
