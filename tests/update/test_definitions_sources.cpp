#include "rank/lookup/EngineDefinitions.h"
#include "update/DefinitionsSources.h"
#include "update/UpdateSignature.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DefinitionsSourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_files = DefinitionsFiles::in(m_dir.filePath("config"), m_dir.filePath("data"));
        QDir().mkpath(m_dir.filePath("config"));
        QDir().mkpath(m_dir.filePath("data"));
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // A downloaded file with the signature the key pair gives it, beside it as earlier versions
    // of the program wrote it.
    void download(const QByteArray& text)
    {
        write(m_files.downloadedFile, text);
        write(m_files.downloadedSignature, UpdateSignature::sign(text, m_keys.secretKey));
    }

    // A downloaded file carrying its signature on its last line.
    void downloadSigned(const QByteArray& text)
    {
        write(m_files.downloadedFile,
            text + "\n; signature: " + UpdateSignature::sign(text, m_keys.secretKey).toBase64() + "\n");
    }

    LoadedDefinitions load(const QString& given = {})
    {
        return DefinitionsSources::load(m_files, given, m_keys.publicKey);
    }

    QTemporaryDir m_dir;
    DefinitionsFiles m_files;
    UpdateSignature::KeyPair m_keys = UpdateSignature::generateKeyPair();
};

const QByteArray kDownloaded = "[definitions]\nVersion=2026.12.8\n[MSNCom]\nPageSize=12\n";

} // namespace

TEST_F(DefinitionsSourcesTest, TheFoldersNameTheFiles)
{
    const DefinitionsFiles files = DefinitionsFiles::in("/c", "/d");
    EXPECT_EQ(files.userFile, "/c/engines.ini");
    EXPECT_EQ(files.downloadedFile, "/d/engines.ini");
    EXPECT_EQ(files.downloadedSignature, "/d/engines.ini.sig");
    EXPECT_EQ(files.previousFile, "/d/engines.ini.previous");
    EXPECT_EQ(files.previousSignature, "/d/engines.ini.previous.sig");
}

TEST_F(DefinitionsSourcesTest, WithoutFilesTheBuiltInOnesAreUsedSilently)
{
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::BuiltIn);
    EXPECT_EQ(loaded.definitions->version, EngineDefinitions::builtIn().version);
    EXPECT_TRUE(loaded.refusals.isEmpty());
}

TEST_F(DefinitionsSourcesTest, TheFirstFoundWins)
{
    download(kDownloaded);
    EXPECT_EQ(load().definitions->source, DefinitionsSource::Downloaded);
    EXPECT_EQ(load().definitions->version, "2026.12.8");
    EXPECT_EQ(load().definitions->engine(Engine::MSNCom).pageSize, 12);

    write(m_files.userFile, "[MSNCom]\nPageSize=13\n");
    EXPECT_EQ(load().definitions->source, DefinitionsSource::User);
    EXPECT_EQ(load().definitions->engine(Engine::MSNCom).pageSize, 13);

    const QString given = m_dir.filePath("try.ini");
    write(given, "[MSNCom]\nPageSize=14\n");
    const LoadedDefinitions loaded = load(given);
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::File);
    EXPECT_EQ(loaded.definitions->fileName, given);
    EXPECT_EQ(loaded.definitions->engine(Engine::MSNCom).pageSize, 14);
    EXPECT_TRUE(loaded.refusals.isEmpty());
}

// The user's file mends one engine; the downloaded fixes of the others stay in force beneath it.
TEST_F(DefinitionsSourcesTest, TheUsersFileLiesOverTheDownloadedOne)
{
    downloadSigned("[definitions]\nVersion=2026.12.8\n[MSNCom]\nPageSize=12\n[RamblerRu]\nPageSize=17\n");
    write(m_files.userFile, "[MSNCom]\nPageSize=13\n");
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->engine(Engine::MSNCom).pageSize, 13);
    EXPECT_EQ(loaded.definitions->engine(Engine::RamblerRu).pageSize, 17);
    EXPECT_EQ(definitionsInForceText(*loaded.definitions),
        QStringLiteral("свой файл ") + m_files.userFile + QStringLiteral(" поверх загруженных 2026.12.8"));
    QFile::remove(m_files.downloadedFile);
    EXPECT_EQ(load().definitions->engine(Engine::RamblerRu).pageSize, 15);
    EXPECT_EQ(definitionsInForceText(*load().definitions),
        QStringLiteral("свой файл ") + m_files.userFile + QStringLiteral(" поверх встроенных"));
}

TEST_F(DefinitionsSourcesTest, ARefusedFileFallsBackToTheNextWithItsMessage)
{
    download(kDownloaded);
    write(m_files.userFile, "[MSNCom]\nPageSize=0\n");
    const LoadedDefinitions loaded = load(m_dir.filePath("missing.ini"));
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::Downloaded);
    ASSERT_EQ(loaded.refusals.size(), 2);
    EXPECT_TRUE(loaded.refusals[0].startsWith("Описания поисковых систем из файла «"
        + m_dir.filePath("missing.ini") + "» не приняты:\nфайл не прочитан: "));
    EXPECT_EQ(loaded.refusals[1],
        "Описания поисковых систем из файла «" + m_files.userFile
            + "» не приняты:\n[MSNCom] PageSize (строка 2): «0» — нужно целое число от 1 до 100");
}

struct Tampering {
    const char* name;
    std::function<void(const DefinitionsFiles&)> apply;
};

class DownloadedDefinitionsRefused : public DefinitionsSourcesTest,
                                     public ::testing::WithParamInterface<Tampering> { };

// The signature is checked at every load: the built-in definitions stand in for a refused download.
TEST_P(DownloadedDefinitionsRefused, AtEveryLoad)
{
    download(kDownloaded);
    GetParam().apply(m_files);
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::BuiltIn);
    ASSERT_EQ(loaded.refusals.size(), 1);
    EXPECT_EQ(loaded.refusals[0],
        "Описания поисковых систем из файла «" + m_files.downloadedFile
            + "» не приняты: подпись файла не верна.");
}

INSTANTIATE_TEST_SUITE_P(Tamperings, DownloadedDefinitionsRefused,
    ::testing::Values(Tampering { "AlteredOnDisk",
                          [](const DefinitionsFiles& files) {
                              QFile file(files.downloadedFile);
                              ASSERT_TRUE(file.open(QIODevice::Append));
                              file.write("[AportRu]\nPageSize=3\n");
                          } },
        Tampering {
            "Unsigned", [](const DefinitionsFiles& files) { QFile::remove(files.downloadedSignature); } },
        Tampering { "SignedByAnotherKey",
            [](const DefinitionsFiles& files) {
                QFile file(files.downloadedFile);
                ASSERT_TRUE(file.open(QIODevice::ReadOnly));
                const QByteArray other
                    = UpdateSignature::sign(file.readAll(), UpdateSignature::generateKeyPair().secretKey);
                QFile signature(files.downloadedSignature);
                ASSERT_TRUE(signature.open(QIODevice::WriteOnly | QIODevice::Truncate));
                signature.write(other);
            } }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DefinitionsSourcesTest, ASignedFileThatDoesNotValidateIsRefusedToo)
{
    download("[definitions]\nVersion=2026.12.9\n[MSNCom]\nPageRule=ranked\n");
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::BuiltIn);
    ASSERT_EQ(loaded.refusals.size(), 1);
    EXPECT_TRUE(
        loaded.refusals[0].endsWith("«ranked» — допустимы counted, counted-short-page-ends, numbered"));
}

TEST_F(DefinitionsSourcesTest, EachRefusalIsShownOnce)
{
    const QStringList first = DefinitionsSources::notShownBefore({ "a refusal", "another" });
    EXPECT_EQ(first, QStringList({ "a refusal", "another" }));
    EXPECT_EQ(DefinitionsSources::notShownBefore({ "a refusal", "a third" }), QStringList { "a third" });
}

namespace {

struct InForceRow {
    const char* name;
    QString DefinitionsFiles::*file; // where the file lies; nullptr: given on the command line
    QByteArray version; // "built-in": the built-in definitions' own
    DefinitionsSource expected;
};

void PrintTo(const InForceRow& row, std::ostream* out)
{
    *out << row.name;
}

class DefinitionsInForce : public DefinitionsSourcesTest,
                           public ::testing::WithParamInterface<InForceRow> { };

} // namespace

TEST_P(DefinitionsInForce, AreTheNewerOfTheDownloadedAndTheBuiltInUnlessTheUserChose)
{
    const InForceRow& row = GetParam();
    const QByteArray version
        = row.version == "built-in" ? EngineDefinitions::builtIn().version.toLatin1() : row.version;
    const QByteArray text = "[definitions]\nVersion=" + version + "\n[MSNCom]\nPageSize=12\n";
    const QString given = m_dir.filePath("try.ini");
    if (row.file == &DefinitionsFiles::downloadedFile)
        download(text);
    else
        write(row.file ? m_files.*row.file : given, text);
    const LoadedDefinitions loaded = load(row.file ? QString() : given);
    EXPECT_EQ(loaded.definitions->source, row.expected);
    EXPECT_EQ(loaded.definitions->engine(Engine::MSNCom).pageSize,
        row.expected == DefinitionsSource::BuiltIn
            ? EngineDefinitions::builtIn().engine(Engine::MSNCom).pageSize
            : 12);
    EXPECT_TRUE(loaded.refusals.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Versions, DefinitionsInForce,
    ::testing::Values(InForceRow { "downloaded_older", &DefinitionsFiles::downloadedFile, "2000.1",
                          DefinitionsSource::BuiltIn },
        InForceRow {
            "downloaded_equal", &DefinitionsFiles::downloadedFile, "built-in", DefinitionsSource::BuiltIn },
        InForceRow {
            "downloaded_newer", &DefinitionsFiles::downloadedFile, "9999.1", DefinitionsSource::Downloaded },
        InForceRow { "user_older", &DefinitionsFiles::userFile, "2000.1", DefinitionsSource::User },
        InForceRow { "given_older", nullptr, "2000.1", DefinitionsSource::File }),
    [](const auto& info) { return std::string(info.param.name); });

namespace {

struct CarriedRow {
    const char* name;
    std::function<QByteArray(const QByteArray& onDisk)> change;
    bool accepted;
};

void PrintTo(const CarriedRow& row, std::ostream* out)
{
    *out << row.name;
}

class CarriedSignature : public DefinitionsSourcesTest, public ::testing::WithParamInterface<CarriedRow> { };

} // namespace

TEST_P(CarriedSignature, IsVerifiedAtEveryLoad)
{
    downloadSigned(kDownloaded);
    QFile file(m_files.downloadedFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray onDisk = file.readAll();
    file.close();
    write(m_files.downloadedFile, GetParam().change(onDisk));
    // A signature left beside the file by an earlier version is no stand-in for its own.
    write(m_files.downloadedSignature, UpdateSignature::sign(kDownloaded, m_keys.secretKey));
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->source,
        GetParam().accepted ? DefinitionsSource::Downloaded : DefinitionsSource::BuiltIn);
    EXPECT_EQ(loaded.refusals.size(), GetParam().accepted ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Changes, CarriedSignature,
    ::testing::Values(CarriedRow { "intact", [](const QByteArray& bytes) { return bytes; }, true },
        CarriedRow { "altered",
            [](const QByteArray& bytes) { return QByteArray(bytes).replace("PageSize=12", "PageSize=13"); },
            false },
        CarriedRow { "line_end_dropped", [](const QByteArray& bytes) { return bytes.chopped(1); }, false },
        CarriedRow { "a_line_after_it", [](const QByteArray& bytes) { return bytes + "; more\n"; }, false },
        CarriedRow { "signature_cut",
            [](const QByteArray& bytes) { return bytes.left(bytes.size() - 10) + "\n"; }, false }),
    [](const auto& info) { return std::string(info.param.name); });
