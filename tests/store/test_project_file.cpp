#include "StoreFixtures.h"

#include "platform/CodePage.h"
#include "rank/lookup/EngineTable.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class ProjectFileTest : public StoreTest {
protected:
    // Saves one project and opens the file into a second one.
    void roundTrip()
    {
        ProgramStores::saveProject(project, path("p.zlt"));
        ProgramStores::loadProject(reopened, path("p.zlt"));
    }

    QString dataFile(const char* name) const
    {
        const QString source = qEnvironmentVariable("KS_SOURCE_DIR");
        const QString root
            = source.isEmpty() ? QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../.." : source;
        return root + "/tests/data/" + name;
    }

    Project project = designProject();
    Project reopened = designProject();
};

QByteArray projectFile(const QByteArray& sections)
{
    return QByteArray(sections).replace("\n", "\r\n");
}

} // namespace

TEST_F(ProjectFileTest, NewProjectIsByteIdenticalToTheHandWrittenFile)
{
    ProgramStores::saveProject(project, path("new.zlt"));
    EXPECT_EQ(readBytes(path("new.zlt")), readBytes(dataFile("project_default.zlt")));
}

TEST_F(ProjectFileTest, TheHandWrittenFileReadsAsANewProjectAndWritesBackItsBytes)
{
    Project read;
    read.site = "stale";
    read.keyword(3) = "stale";
    read.ticked = {};
    ProgramStores::loadProject(read, dataFile("project_default.zlt"));
    EXPECT_EQ(read, designProject());
    ProgramStores::saveProject(read, path("again.zlt"));
    EXPECT_EQ(readBytes(path("again.zlt")), readBytes(dataFile("project_default.zlt")));
}

TEST_F(ProjectFileTest, TextsRoundTripInsideTheirQuotes)
{
    const QStringList keywords = { QStringLiteral("say \"hello\" now"), QStringLiteral("\"quoted\""),
        QStringLiteral("  blanks around  "), QString(), QString::fromUtf8("продвижение сайта"),
        QStringLiteral("\""), QStringLiteral("a=b;c") };
    for (int n = 1; n <= 7; ++n)
        project.keyword(n) = keywords[n - 1];
    project.site = "http://www.example.ru/";
    project.setTicked(Engine::AportRu, true);
    project.setTicked(Engine::YandexRu, false);
    for (int n = 1; n <= 7; ++n)
        reopened.keyword(n) = "stale";

    roundTrip();

    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(reopened.keyword(n), keywords[n - 1]) << n;
    EXPECT_EQ(reopened.site, "http://www.example.ru/");
    EXPECT_TRUE(reopened.isTicked(Engine::AportRu));
    EXPECT_FALSE(reopened.isTicked(Engine::YandexRu));
    EXPECT_TRUE(reopened.isTicked(Engine::RamblerRu));

    const QByteArray bytes = readBytes(path("p.zlt"));
    EXPECT_TRUE(bytes.contains("\r\nText=\"\"quoted\"\"\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nText=\"  blanks around  \"\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nText=\"\"\r\n"));
    EXPECT_TRUE(
        bytes.contains("Text=\"\xEF\xF0\xEE\xE4\xE2\xE8\xE6\xE5\xED\xE8\xE5 \xF1\xE0\xE9\xF2\xE0\"\r\n"));
}

TEST_F(ProjectFileTest, HandEditedFileFollowsTheReadingRules)
{
    writeBytes(path("p.zlt"),
        projectFile("; written by hand\n"
                    "Text=\"before any section\"\n"
                    "[edkeyword1: tcxpropertiesstorecomponent]\n"
                    "Text=0123\n"
                    "\n"
                    "  [ edKeyWord2: TcxPropertiesStoreComponent ]  \n"
                    "  Text  =  \"0123\"   \n"
                    "[edKeyWord3: TcxPropertiesStoreComponent]\n"
                    "text=\"lower-case key\"\n"
                    "; Text=\"commented out\"\n"
                    "[edKeyWord4: TcxPropertiesStoreComponent]\n"
                    "Text=  plain words  \n"
                    "Text=\"a=b\"\n"
                    "Extra=\"kept until the next save\"\n"
                    "[Unknown: TcxPropertiesStoreComponent]\n"
                    "Text=\"not ours\"\n"
                    "[edWEB: TcxPropertiesStoreComponent]\n"
                    "Text=1.50\n"
                    "[CheckBoxMSNCom: TcxPropertiesStoreComponent]\n"
                    "Checked=true\n"
                    "[CheckBoxYandexRu: TcxPropertiesStoreComponent]\n"
                    "Checked=\"FALSE\"\n"));
    reopened.keyword(3) = "unchanged";

    ProgramStores::loadProject(reopened, path("p.zlt"));

    EXPECT_EQ(reopened.keyword(1), "123");
    EXPECT_EQ(reopened.keyword(2), "0123");
    EXPECT_EQ(reopened.keyword(3), "unchanged");
    EXPECT_EQ(reopened.keyword(4), "a=b");
    EXPECT_EQ(reopened.site, "1.5");
    EXPECT_TRUE(reopened.isTicked(Engine::MSNCom));
    EXPECT_FALSE(reopened.isTicked(Engine::YandexRu));
    EXPECT_TRUE(reopened.isTicked(Engine::RamblerRu)) << "no stored value: keeps its own";

    ProgramStores::saveProject(reopened, path("p.zlt"));
    const QByteArray saved = readBytes(path("p.zlt"));
    EXPECT_FALSE(saved.contains("Unknown"));
    EXPECT_FALSE(saved.contains("Extra"));
    EXPECT_FALSE(saved.contains("written by hand"));
    EXPECT_TRUE(
        saved.startsWith("[CheckBoxAportRu: TcxPropertiesStoreComponent]\r\n=\r\nChecked=\"False\"\r\n\r\n"));
}

TEST_F(ProjectFileTest, InvalidBooleanEndsTheRestoreAtThatKey)
{
    writeBytes(path("p.zlt"),
        projectFile("[CheckBoxAportRu: TcxPropertiesStoreComponent]\nChecked=\"True\"\n"
                    "[CheckBoxGoogleCom: TcxPropertiesStoreComponent]\nChecked=\"Yes\"\n"
                    "[CheckBoxGoogleRu: TcxPropertiesStoreComponent]\nChecked=\"True\"\n"
                    "[edKeyWord1: TcxPropertiesStoreComponent]\nText=\"after\"\n"));
    try {
        ProgramStores::loadProject(reopened, path("p.zlt"));
        FAIL() << "the restore went on";
    } catch (const EPropertiesStore& e) {
        EXPECT_STREQ(e.what(), "Invalid property element: Yes");
    }
    EXPECT_TRUE(reopened.isTicked(Engine::AportRu));
    EXPECT_FALSE(reopened.isTicked(Engine::GoogleCom));
    EXPECT_FALSE(reopened.isTicked(Engine::GoogleRu));
    EXPECT_EQ(reopened.keyword(1), "");
}

TEST_F(ProjectFileTest, MissingFileRestoresNothing)
{
    reopened.keyword(1) = "design value";
    ProgramStores::loadProject(reopened, path("absent.zlt"));
    EXPECT_EQ(reopened.keyword(1), "design value");
    EXPECT_FALSE(QFileInfo::exists(path("absent.zlt")));
}

TEST_F(ProjectFileTest, StoreWithoutItemsTouchesNothing)
{
    writeBytes(path("p.zlt"), "odd content");
    for (const char* name : { "p.zlt", "none.zlt" }) {
        TcxPropertiesStore empty;
        empty.SetStorageName(path(name));
        empty.StoreProperties(true);
    }
    EXPECT_EQ(readBytes(path("p.zlt")), "odd content");
    EXPECT_FALSE(QFileInfo::exists(path("none.zlt")));
}

TEST_F(ProjectFileTest, StoreWithoutRecreateKeepsOtherSections)
{
    writeBytes(path("p.zlt"),
        projectFile(
            "[Other: x]\nKey=1\n[EDWEB: TcxPropertiesStoreComponent]\nText=\"old\"\nMore=\"kept\"\n"));
    QString site = QStringLiteral("http://");
    TcxPropertiesStore partial;
    partial.addText(QStringLiteral("edWEB"), QStringLiteral("Text"), site);
    partial.SetStorageName(path("p.zlt"));
    partial.StoreProperties(false);
    EXPECT_EQ(readBytes(path("p.zlt")),
        projectFile("[Other: x]\nKey=1\n\n[EDWEB: "
                    "TcxPropertiesStoreComponent]\nText=\"http://\"\nMore=\"kept\"\n=\n\n"));
}

TEST_F(ProjectFileTest, UnreadableFileFailsOpenAndSave)
{
    QDir().mkdir(path("folder.zlt"));
    const QString expected = QStringLiteral("Cannot open file \"%1\". ").arg(path("folder.zlt"));
    try {
        ProgramStores::loadProject(reopened, path("folder.zlt"));
        FAIL();
    } catch (const EPropertiesStore& e) {
        EXPECT_TRUE(e.message().startsWith(expected)) << e.what();
        EXPECT_GT(e.message().size(), expected.size()) << "the system's reason follows";
    }
    EXPECT_THROW(ProgramStores::saveProject(project, path("folder.zlt")), EPropertiesStore);
    EXPECT_TRUE(QFileInfo(path("folder.zlt")).isDir());
}

TEST_F(ProjectFileTest, SaveIntoMissingFolderFailsWithTheSystemReason)
{
    const QString target = path("no/such/folder/p.zlt");
    try {
        ProgramStores::saveProject(project, target);
        FAIL();
    } catch (const EPropertiesStore& e) {
        const QString expected = QStringLiteral("Cannot create file \"%1\". ").arg(target);
        EXPECT_TRUE(e.message().startsWith(expected)) << e.what();
        EXPECT_GT(e.message().size(), expected.size());
    }
    EXPECT_FALSE(QFileInfo::exists(path("no")));
}

TEST_F(ProjectFileTest, SaveReplacesTheFileInsteadOfRewritingIt)
{
    ProgramStores::saveProject(project, path("p.zlt"));
    const QByteArray before = readBytes(path("p.zlt"));
    struct stat old { };
    ASSERT_EQ(stat(QFile::encodeName(path("p.zlt")).constData(), &old), 0);
    QFile reader(path("p.zlt"));
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));

    project.keyword(1) = "new keyword";
    ProgramStores::saveProject(project, path("p.zlt"));

    struct stat now { };
    ASSERT_EQ(stat(QFile::encodeName(path("p.zlt")).constData(), &now), 0);
    EXPECT_NE(old.st_ino, now.st_ino);
    EXPECT_EQ(reader.readAll(), before) << "a reader of the old file still sees it whole";
    EXPECT_TRUE(readBytes(path("p.zlt")).contains("Text=\"new keyword\""));
}

TEST_F(ProjectFileTest, SaveFailingHalfWayLeavesTheOldFile)
{
    ProgramStores::saveProject(project, path("p.zlt"));
    const QByteArray before = readBytes(path("p.zlt"));
    project.keyword(1) = QString(4000, QChar(u'x'));

    // The file size limit makes the write fail part-way, as a full disk would.
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        ProgramStores::saveProject(project, path("p.zlt"));
    } catch (const EPropertiesStore& e) {
        failed = QString::fromUtf8(e.what()).startsWith("Cannot create file \"" + path("p.zlt") + "\". ");
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(failed);
    EXPECT_EQ(readBytes(path("p.zlt")), before);
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList { "p.zlt" })
        << "no temporary file is left";
}
