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
    void SetUp() override
    {
        StoreTest::SetUp();
        ProgramStores::declareProjectFileItems(store, controls.frame.get(), engineKeys());
        ProgramStores::declareProjectFileItems(loaded, reopened.frame.get(), engineKeys());
    }

    // Saves from one frame and opens the file in a second one.
    void roundTrip()
    {
        ProgramStores::saveProject(store, path("p.zlt"));
        ProgramStores::loadProject(loaded, path("p.zlt"));
    }

    QString dataFile(const char* name) const
    {
        const QString source = qEnvironmentVariable("KS_SOURCE_DIR");
        const QString root
            = source.isEmpty() ? QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../.." : source;
        return root + "/tests/data/" + name;
    }

    FrameControls controls;
    FrameControls reopened;
    TcxPropertiesStore store;
    TcxPropertiesStore loaded;
};

QByteArray project(const QByteArray& sections)
{
    return QByteArray(sections).replace("\n", "\r\n");
}

} // namespace

TEST_F(ProjectFileTest, NewProjectIsByteIdenticalToTheHandWrittenFile)
{
    ProgramStores::saveProject(store, path("new.zlt"));
    EXPECT_EQ(readBytes(path("new.zlt")), readBytes(dataFile("project_default.zlt")));
}

TEST_F(ProjectFileTest, TextsRoundTripInsideTheirQuotes)
{
    const QStringList keywords = { QStringLiteral("say \"hello\" now"), QStringLiteral("\"quoted\""),
        QStringLiteral("  blanks around  "), QString(), QString::fromUtf8("продвижение сайта"),
        QStringLiteral("\""), QStringLiteral("a=b;c") };
    for (int n = 1; n <= 7; ++n)
        controls.keyword(n)->setText(keywords[n - 1]);
    controls.edit("edWEB")->setText("http://www.example.ru/");
    controls.checkBox("AportRu")->setChecked(true);
    controls.checkBox("YandexRu")->setChecked(false);
    for (int n = 1; n <= 7; ++n)
        reopened.keyword(n)->setText("stale");

    roundTrip();

    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(reopened.keyword(n)->text(), keywords[n - 1]) << n;
    EXPECT_EQ(reopened.edit("edWEB")->text(), "http://www.example.ru/");
    EXPECT_TRUE(reopened.checkBox("AportRu")->isChecked());
    EXPECT_FALSE(reopened.checkBox("YandexRu")->isChecked());
    EXPECT_TRUE(reopened.checkBox("RamblerRu")->isChecked());

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
        project("; written by hand\n"
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
    reopened.keyword(3)->setText("unchanged");

    ProgramStores::loadProject(loaded, path("p.zlt"));

    EXPECT_EQ(reopened.keyword(1)->text(), "123");
    EXPECT_EQ(reopened.keyword(2)->text(), "0123");
    EXPECT_EQ(reopened.keyword(3)->text(), "unchanged");
    EXPECT_EQ(reopened.keyword(4)->text(), "a=b");
    EXPECT_EQ(reopened.edit("edWEB")->text(), "1.5");
    EXPECT_TRUE(reopened.checkBox("MSNCom")->isChecked());
    EXPECT_FALSE(reopened.checkBox("YandexRu")->isChecked());
    EXPECT_TRUE(reopened.checkBox("RamblerRu")->isChecked()) << "no stored value: keeps its own";

    ProgramStores::saveProject(loaded, path("p.zlt"));
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
        project("[CheckBoxAportRu: TcxPropertiesStoreComponent]\nChecked=\"True\"\n"
                "[CheckBoxGoogleCom: TcxPropertiesStoreComponent]\nChecked=\"Yes\"\n"
                "[CheckBoxGoogleRu: TcxPropertiesStoreComponent]\nChecked=\"True\"\n"
                "[edKeyWord1: TcxPropertiesStoreComponent]\nText=\"after\"\n"));
    try {
        ProgramStores::loadProject(loaded, path("p.zlt"));
        FAIL() << "the restore went on";
    } catch (const EPropertiesStore& e) {
        EXPECT_STREQ(e.what(), "Invalid property element: Yes");
    }
    EXPECT_TRUE(reopened.checkBox("AportRu")->isChecked());
    EXPECT_FALSE(reopened.checkBox("GoogleCom")->isChecked());
    EXPECT_FALSE(reopened.checkBox("GoogleRu")->isChecked());
    EXPECT_EQ(reopened.keyword(1)->text(), "");
}

TEST_F(ProjectFileTest, MissingFileRestoresNothing)
{
    reopened.keyword(1)->setText("design value");
    ProgramStores::loadProject(loaded, path("absent.zlt"));
    EXPECT_EQ(reopened.keyword(1)->text(), "design value");
    EXPECT_FALSE(QFileInfo::exists(path("absent.zlt")));
}

TEST_F(ProjectFileTest, StoreWithoutItemsTouchesNothing)
{
    TcxPropertiesStore empty;
    writeBytes(path("p.zlt"), "odd content");
    ProgramStores::saveProject(empty, path("p.zlt"));
    ProgramStores::saveProject(empty, path("none.zlt"));
    EXPECT_EQ(readBytes(path("p.zlt")), "odd content");
    EXPECT_FALSE(QFileInfo::exists(path("none.zlt")));
}

TEST_F(ProjectFileTest, ItemsFollowTheirComponents)
{
    TcxPropertiesStore own;
    auto* box = new QCheckBox(controls.frame.get());
    own.Components().Add(box, { "Checked" });
    own.Components().Add(nullptr, { "Text" });
    own.Components().Add(controls.keyword(1), { "Text", "NoSuchProperty" });
    EXPECT_EQ(own.Components().ObjectName(0), "Component0");
    EXPECT_EQ(own.Components().ObjectName(1), "Component1");
    EXPECT_EQ(own.Components().ObjectName(2), "edKeyWord1");

    delete box;
    ASSERT_EQ(own.Components().Count(), 2);
    EXPECT_EQ(own.Components().ObjectName(1), "edKeyWord1");
    own.SetStorageName(path("own.ini"));
    own.StoreProperties(true);
    EXPECT_EQ(readBytes(path("own.ini")),
        project("[Component0: TcxPropertiesStoreComponent]\n=\n\n"
                "[edKeyWord1: TcxPropertiesStoreComponent]\n=\nText=\"\"\n\n"));
}

TEST_F(ProjectFileTest, StoreWithoutRecreateKeepsOtherSections)
{
    writeBytes(path("p.zlt"),
        project("[Other: x]\nKey=1\n[EDWEB: TcxPropertiesStoreComponent]\nText=\"old\"\nMore=\"kept\"\n"));
    TcxPropertiesStore partial;
    partial.Components().Add(controls.edit("edWEB"), { "Text" });
    partial.SetStorageName(path("p.zlt"));
    partial.StoreProperties(false);
    EXPECT_EQ(readBytes(path("p.zlt")),
        project("[Other: x]\nKey=1\n\n[EDWEB: "
                "TcxPropertiesStoreComponent]\nText=\"http://\"\nMore=\"kept\"\n=\n\n"));
}

TEST_F(ProjectFileTest, UnreadableFileFailsOpenAndSave)
{
    QDir().mkdir(path("folder.zlt"));
    const QString expected = QStringLiteral("Cannot open file \"%1\". ").arg(path("folder.zlt"));
    try {
        ProgramStores::loadProject(loaded, path("folder.zlt"));
        FAIL();
    } catch (const EPropertiesStore& e) {
        EXPECT_TRUE(e.message().startsWith(expected)) << e.what();
        EXPECT_GT(e.message().size(), expected.size()) << "the system's reason follows";
    }
    EXPECT_THROW(ProgramStores::saveProject(store, path("folder.zlt")), EPropertiesStore);
    EXPECT_TRUE(QFileInfo(path("folder.zlt")).isDir());
}

TEST_F(ProjectFileTest, SaveIntoMissingFolderFailsWithTheSystemReason)
{
    const QString target = path("no/such/folder/p.zlt");
    try {
        ProgramStores::saveProject(store, target);
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
    ProgramStores::saveProject(store, path("p.zlt"));
    const QByteArray before = readBytes(path("p.zlt"));
    struct stat old { };
    ASSERT_EQ(stat(QFile::encodeName(path("p.zlt")).constData(), &old), 0);
    QFile reader(path("p.zlt"));
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly));

    controls.keyword(1)->setText("new keyword");
    ProgramStores::saveProject(store, path("p.zlt"));

    struct stat now { };
    ASSERT_EQ(stat(QFile::encodeName(path("p.zlt")).constData(), &now), 0);
    EXPECT_NE(old.st_ino, now.st_ino);
    EXPECT_EQ(reader.readAll(), before) << "a reader of the old file still sees it whole";
    EXPECT_TRUE(readBytes(path("p.zlt")).contains("Text=\"new keyword\""));
}

TEST_F(ProjectFileTest, SaveFailingHalfWayLeavesTheOldFile)
{
    ProgramStores::saveProject(store, path("p.zlt"));
    const QByteArray before = readBytes(path("p.zlt"));
    controls.keyword(1)->setText(QString(4000, QChar(u'x')));

    // The file size limit makes the write fail part-way, as a full disk would.
    rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    try {
        ProgramStores::saveProject(store, path("p.zlt"));
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
