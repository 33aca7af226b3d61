#include "ElfImage.h"
#include "contact/FileVersion.h"
#include "platform/VersionResource.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray resource(const QList<QByteArray>& lines)
{
    QByteArray text = "KSVERSIONINFO 1\n";
    for (const QByteArray& line : lines)
        text += line + '\n';
    return text + '\0';
}

const QByteArray kRussianTable = "\\StringFileInfo\\041904E3\\";

QByteArray elfWith(const QByteArray& section, bool wide = true, bool bigEndian = false)
{
    ElfImage elf;
    elf.wide = wide;
    elf.bigEndian = bigEndian;
    elf.sections = { { ".text", QByteArray(40, '\x90') }, { ".ks_version", section }, { ".data", "xyz" } };
    return elf.build();
}

class FileVersionFiles : public ::testing::Test {
protected:
    QString write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QString program()
    {
        const QString path = qEnvironmentVariable("KS_PROGRAM_BIN");
        EXPECT_FALSE(path.isEmpty()) << "KS_PROGRAM_BIN names the built program";
        return path;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FileVersionFiles, TheBuiltProgramCarriesTheProjectVersion)
{
    EXPECT_EQ(GetFileVersionText(program()), QStringLiteral(KS_EXPECTED_FILE_VERSION));
    const VersionResource version = VersionResource::ofFile(program());
    QString productVersion, productName, companyName;
    EXPECT_TRUE(version.query(kRussianTable + "ProductVersion", &productVersion));
    EXPECT_EQ(productVersion, QStringLiteral(KS_EXPECTED_PRODUCT_VERSION));
    EXPECT_TRUE(version.query(kRussianTable + "ProductName", &productName));
    EXPECT_TRUE(version.query(kRussianTable + "CompanyName", &companyName));
    EXPECT_FALSE(productName.isEmpty());
    EXPECT_FALSE(companyName.isEmpty());
}

TEST_F(FileVersionFiles, ATestProgramWithoutVersionInformationGivesTheEmptyText)
{
    EXPECT_EQ(GetFileVersionText(QCoreApplication::applicationFilePath()), QString());
}

struct NoVersion {
    const char* what;
    std::function<QByteArray()> bytes;
};

class FileWithoutVersion : public FileVersionFiles, public ::testing::WithParamInterface<NoVersion> { };

TEST_P(FileWithoutVersion, GivesTheEmptyText)
{
    const QString path = write(QStringLiteral("file"), GetParam().bytes());
    EXPECT_EQ(GetFileVersionText(path), QString()) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Rows, FileWithoutVersion,
    ::testing::Values(NoVersion { "empty file", [] { return QByteArray(); } },
        NoVersion { "text file", [] { return QByteArray("FileVersion=1.0\n"); } },
        NoVersion { "ELF header alone", [] { return elfWith(resource({})).left(64); } },
        NoVersion { "ELF without the section",
            [] {
                ElfImage elf;
                elf.sections = { { ".text", "code" } };
                return elf.build();
            } },
        NoVersion { "section of another format",
            [] { return elfWith("\\StringFileInfo\\041904E3\\FileVersion=1.0\n"); } },
        NoVersion {
            "no translation entry", [] { return elfWith(resource({ kRussianTable + "FileVersion=1.0" })); } },
        NoVersion { "translation entry that is no number",
            [] {
                return elfWith(
                    resource({ "\\VarFileInfo\\Translation=Russian", kRussianTable + "FileVersion=1.0" }));
            } },
        NoVersion { "no FileVersion string",
            [] {
                return elfWith(resource(
                    { "\\VarFileInfo\\Translation=04E30419", kRussianTable + "ProductVersion=1.0" }));
            } },
        NoVersion { "section larger than version information can be", [] {
                       return elfWith(resource({ "\\VarFileInfo\\Translation=04E30419",
                                          kRussianTable + "FileVersion=1.0" })
                           + QByteArray(VersionResource::kMaxSize, ' '));
                   } }));

TEST_F(FileVersionFiles, AMissingFileGivesTheEmptyText)
{
    EXPECT_EQ(GetFileVersionText(dir.filePath(QStringLiteral("absent"))), QString());
}

TEST_F(FileVersionFiles, ATruncatedCopyOfTheProgramGivesTheEmptyText)
{
    QFile original(program());
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray whole = original.readAll();
    // The section table stands at the end of the file.
    EXPECT_EQ(GetFileVersionText(write(QStringLiteral("cut"), whole.left(whole.size() - 100))), QString());
}

TEST_F(FileVersionFiles, OnlyTheFirstTranslationEntryIsUsed)
{
    const QByteArray twoTables = resource({ "\\VarFileInfo\\Translation=04E30419 04B00409",
        kRussianTable + "FileVersion=1.3.2.110", "\\StringFileInfo\\040904B0\\FileVersion=9.9.9.9" });
    EXPECT_EQ(
        GetFileVersionText(write(QStringLiteral("two"), elfWith(twoTables))), QStringLiteral("1.3.2.110"));

    const QByteArray englishFirst = resource({ "\\VarFileInfo\\Translation=04B00409 04E30419",
        kRussianTable + "FileVersion=1.3.2.110", "\\StringFileInfo\\040904B0\\FileVersion=9.9.9.9" });
    EXPECT_EQ(GetFileVersionText(write(QStringLiteral("english"), elfWith(englishFirst))),
        QStringLiteral("9.9.9.9"));

    const QByteArray firstHasNoTable = resource(
        { "\\VarFileInfo\\Translation=04B00409 04E30419", kRussianTable + "FileVersion=1.3.2.110" });
    EXPECT_EQ(GetFileVersionText(write(QStringLiteral("none"), elfWith(firstHasNoTable))), QString());
}

TEST_F(FileVersionFiles, EveryElfClassAndByteOrderIsRead)
{
    const QByteArray section
        = resource({ "\\VarFileInfo\\Translation=04E30419", kRussianTable + "FileVersion=2.0.1.7" });
    for (const bool wide : { true, false }) {
        for (const bool bigEndian : { false, true }) {
            const QString path = write(QStringLiteral("elf"), elfWith(section, wide, bigEndian));
            EXPECT_EQ(GetFileVersionText(path), QStringLiteral("2.0.1.7")) << wide << bigEndian;
        }
    }
}

struct Spoiler {
    const char* what;
    std::function<void(const ElfImage&, QByteArray&)> spoil;
};

class SpoiledElf : public FileVersionFiles, public ::testing::WithParamInterface<Spoiler> { };

// A header that points outside the file or claims absurd sizes yields nothing, and the reader
// neither crashes nor reads beyond the file (AddressSanitizer watches the latter).
TEST_P(SpoiledElf, GivesTheEmptyText)
{
    for (const bool wide : { true, false }) {
        ElfImage elf;
        elf.wide = wide;
        elf.sections = { { ".ks_version",
            resource({ "\\VarFileInfo\\Translation=04E30419", kRussianTable + "FileVersion=1.0" }) } };
        QByteArray image = elf.build();
        ASSERT_EQ(GetFileVersionText(write(QStringLiteral("good"), image)), QStringLiteral("1.0"));
        GetParam().spoil(elf, image);
        EXPECT_EQ(GetFileVersionText(write(QStringLiteral("spoiled"), image)), QString())
            << GetParam().what << (wide ? " (64 bits)" : " (32 bits)");
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, SpoiledElf,
    ::testing::Values(Spoiler { "section beyond the end",
                          [](const ElfImage& elf, QByteArray& image) {
                              elf.put(image, elf.sectionHeaderAt(image, 1) + elf.offsetField(),
                                  quint64(image.size()) + 1, elf.wide ? 8 : 4);
                          } },
        Spoiler { "section size past the end",
            [](const ElfImage& elf, QByteArray& image) {
                elf.put(
                    image, elf.sectionHeaderAt(image, 1) + elf.sizeField(), 0xFFFFFFF0u, elf.wide ? 8 : 4);
            } },
        Spoiler { "largest offset",
            [](const ElfImage& elf, QByteArray& image) {
                elf.put(image, elf.sectionHeaderAt(image, 1) + elf.offsetField(),
                    elf.wide ? ~quint64(0) : 0xFFFFFFFFu, elf.wide ? 8 : 4);
            } },
        Spoiler { "section table beyond the end",
            [](const ElfImage& elf, QByteArray& image) {
                elf.put(image, elf.sectionTableOffsetField(), elf.wide ? ~quint64(0) - 8 : 0xFFFFFFF0u,
                    elf.wide ? 8 : 4);
            } },
        Spoiler { "more sections than the file can hold",
            [](const ElfImage& elf, QByteArray& image) {
                elf.put(image, elf.sectionCountField(), 0xFFFE, 2);
            } },
        Spoiler { "name table index out of range",
            [](const ElfImage& elf, QByteArray& image) { elf.put(image, elf.namesIndexField(), 40, 2); } },
        Spoiler { "name table beyond the end",
            [](const ElfImage& elf, QByteArray& image) {
                elf.put(image, elf.sectionHeaderAt(image, 2) + elf.offsetField(),
                    elf.wide ? ~quint64(0) : 0xFFFFFFFFu, elf.wide ? 8 : 4);
            } },
        Spoiler { "truncated section table", [](const ElfImage&, QByteArray& image) { image.chop(10); } }));

TEST(VersionLine, CarriesTheVersionTextAndTheLanguage)
{
    EXPECT_EQ(
        versionLine(QStringLiteral("1.3.2.110")), QStringLiteral("Версия 1.3.2.110         Язык:  Русский"));
    EXPECT_EQ(versionLine(QString()), QStringLiteral("Версия          Язык:  Русский"));
}
