#include "DefinitionsUpdateFixture.h"

#include "platform/SafeFile.h"
#include "rank/lookup/EngineDefinitions.h"

namespace {

using Result = DefinitionsUpdate::Result;

struct Killed { }; // the program ends at this write

enum class Fault { Kill, FullDisk };

struct InterruptionRow {
    const char* name;
    Fault fault;
    int writesDone; // files completely written before the fault
};

class InterruptedInstall : public DefinitionsUpdateTest,
                           public ::testing::WithParamInterface<InterruptionRow> { };

} // namespace

TEST_P(InterruptedInstall, LeavesThePairInUseAndTheNextCheckEndsTheInstall)
{
    const InterruptionRow& row = GetParam();
    const QByteArray first = definitionsFile("9999.1");
    ASSERT_TRUE(publish(first));
    ASSERT_EQ(run().result, Result::Installed);
    ASSERT_TRUE(publish(definitionsFile("9999.2")));

    DefinitionsUpdate update(client, files, source);
    int writes = 0;
    update.setFileWriter([&](const QString& path, const QByteArray& bytes, QString* reason) {
        if (writes == row.writesDone) {
            if (row.fault == Fault::Kill)
                throw Killed {};
            *reason = QStringLiteral("No space left on device");
            return false;
        }
        ++writes;
        return SafeFile::replace(path, bytes, reason, true);
    });
    if (row.fault == Fault::Kill) {
        EXPECT_THROW(update.run(false, kToday), Killed);
    } else {
        const DefinitionsUpdate::Outcome outcome = update.run(false, kToday);
        EXPECT_EQ(outcome.result, Result::NotWritten);
        EXPECT_EQ(DefinitionsUpdate::menuLine(outcome),
            QStringLiteral("Описания поисковых систем не сохранены: No space left on device"));
    }

    // The definitions in use are still the first file, verified, never the built-in ones.
    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->source, DefinitionsSource::Downloaded);
    EXPECT_EQ(loaded.definitions->version, QStringLiteral("9999.1"));
    EXPECT_TRUE(loaded.refusals.isEmpty()) << loaded.refusals.join(u'\n').toStdString();
    if (QFile::exists(files.previousFile))
        expectSigned(files.previousFile, first);

    // The next check installs the file, and the rollback copy is the one it replaced.
    expectInstalled("9999.2", definitionsFile("9999.2"));
    expectSigned(files.previousFile, first);
}

INSTANTIATE_TEST_SUITE_P(Faults, InterruptedInstall,
    ::testing::Values(InterruptionRow { "kill_before_the_rollback_copy", Fault::Kill, 0 },
        InterruptionRow { "kill_between_the_rollback_copy_and_the_file", Fault::Kill, 1 },
        InterruptionRow { "full_disk_at_the_rollback_copy", Fault::FullDisk, 0 },
        InterruptionRow { "full_disk_at_the_file", Fault::FullDisk, 1 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DefinitionsUpdateTest, APairLeftHalfReplacedByAnEarlierVersionGivesWayToTheRollbackCopy)
{
    // An earlier version of the program replaced the file and was killed before the signature.
    const QByteArray older = definitionsFile("9999.1");
    const QByteArray olderSignature = signatureOf(older);
    writeFile(files.previousFile, older);
    writeFile(files.previousSignature, olderSignature);
    writeFile(files.downloadedFile, definitionsFile("9999.3"));
    writeFile(files.downloadedSignature, olderSignature);

    const LoadedDefinitions loaded = load();
    EXPECT_EQ(loaded.definitions->version, QStringLiteral("9999.1"));
    EXPECT_EQ(loaded.definitions->fileName, files.previousFile);
    EXPECT_EQ(loaded.refusals,
        QStringList { "Описания поисковых систем из файла «" + files.downloadedFile
            + "» не приняты: подпись файла не верна." });

    // A replay older than the rollback copy is refused; the broken pair never replaces the copy.
    ASSERT_TRUE(publish(definitionsFile("9999.0.5")));
    EXPECT_EQ(DefinitionsUpdate::menuLine(run()),
        QStringLiteral(
            "Описания поисковых систем не приняты: версия 9999.0.5 не новее используемой 9999.1."));
    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    expectInstalled("9999.2", definitionsFile("9999.2"));
    EXPECT_EQ(readAll(files.previousFile), older);
    EXPECT_EQ(readAll(files.previousSignature), olderSignature);
}

TEST_F(DefinitionsUpdateTest, FilesInstalledByAnEarlierVersionAreReadAndKeptAsTheRollbackCopy)
{
    const QByteArray earlier = definitionsFile("9999.1");
    writeFile(files.downloadedFile, earlier);
    writeFile(files.downloadedSignature, signatureOf(earlier));
    EXPECT_EQ(load().definitions->version, QStringLiteral("9999.1"));

    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    expectInstalled("9999.2", definitionsFile("9999.2"));
    expectSigned(files.previousFile, earlier);
    EXPECT_FALSE(QFile::exists(files.previousSignature));
}

TEST_F(DefinitionsUpdateTest, ARollbackByRenamingStaysAndTheVersionRolledBackFromIsNotInstalledAgain)
{
    ASSERT_TRUE(publish(definitionsFile("9999.1")));
    ASSERT_EQ(run().result, Result::Installed);
    ASSERT_TRUE(publish(definitionsFile("9999.2")));
    ASSERT_EQ(run().result, Result::Installed);

    ASSERT_TRUE(QFile::remove(files.downloadedFile));
    ASSERT_TRUE(QFile::rename(files.previousFile, files.downloadedFile));
    EXPECT_EQ(load().definitions->version, QStringLiteral("9999.1"));

    ASSERT_TRUE(publish(definitionsFile("9999.2", "; published again\n")));
    EXPECT_EQ(DefinitionsUpdate::menuLine(run()),
        QStringLiteral(
            "Описания поисковых систем не приняты: версия 9999.2 не новее установленной ранее 9999.2."));
    EXPECT_EQ(load().definitions->version, QStringLiteral("9999.1"));
}

namespace {

struct ReplayRow {
    const char* name;
    QByteArray state; // the state file before the check
    QByteArray published; // the version the host offers
    const char* menuLine;
    QByteArray highestAfter; // the state file's line after the check
};

void PrintTo(const ReplayRow& row, std::ostream* out)
{
    *out << row.name;
}

class Replay : public DefinitionsUpdateTest, public ::testing::WithParamInterface<ReplayRow> { };

} // namespace

TEST_P(Replay, AtOrBelowTheHighestVersionInstalledIsRefused)
{
    const ReplayRow& row = GetParam();
    writeFile(files.deliveryState, row.state);
    ASSERT_TRUE(publish(definitionsFile(row.published)));
    EXPECT_EQ(DefinitionsUpdate::menuLine(run()), QString::fromUtf8(row.menuLine));
    EXPECT_TRUE(readAll(files.deliveryState).contains(row.highestAfter))
        << readAll(files.deliveryState).constData();
    EXPECT_EQ(modeOf(files.deliveryState), 0600);
}

INSTANTIATE_TEST_SUITE_P(Versions, Replay,
    ::testing::Values(
        ReplayRow { "below", "asked=2026-12-06\nhighest=9999.5\n", "9999.3",
            "Описания поисковых систем не приняты: версия 9999.3 не новее установленной ранее 9999.5.",
            "\nhighest=9999.5\n" },
        ReplayRow { "at", "highest=9999.5\n", "9999.5",
            "Описания поисковых систем не приняты: версия 9999.5 не новее установленной ранее 9999.5.",
            "\nhighest=9999.5\n" },
        ReplayRow { "at_written_longer", "highest=9999.5\n", "9999.5.0",
            "Описания поисковых систем не приняты: версия 9999.5.0 не новее установленной ранее 9999.5.",
            "\nhighest=9999.5\n" },
        ReplayRow { "above", "highest=9999.5\n", "9999.6",
            "Описания поисковых систем обновлены (версия 9999.6).", "\nhighest=9999.6\n" },
        ReplayRow { "no_version_remembered", "highest=latest\n", "9999.3",
            "Описания поисковых систем обновлены (версия 9999.3).", "\nhighest=9999.3\n" }),
    [](const auto& info) { return std::string(info.param.name); });
