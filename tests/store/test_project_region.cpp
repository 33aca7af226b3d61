#include "StoreFixtures.h"

#include "rank/lookup/EngineTable.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
#include "store/StoreError.h"

#include <QFileInfo>
#include <algorithm>

namespace {

QString sourceFile(const char* name)
{
    const QString source = qEnvironmentVariable("KS_SOURCE_DIR");
    const QString root
        = source.isEmpty() ? QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../.." : source;
    return root + "/tests/data/" + name;
}

const QByteArray kMoscowSection = "[Region: TcxPropertiesStoreComponent]\r\n"
                                  "=\r\n"
                                  "Yandex=\"213\"\r\n"
                                  "GoogleCountry=\"ru\"\r\n"
                                  "GoogleLanguage=\"ru\"\r\n"
                                  "\r\n";

// The project file as the program read it before projects had a region: the 14 values alone,
// declared as that version declared them.
Project readAsBefore(const QString& path)
{
    Project project;
    TcxPropertiesStore store;
    std::array<Engine, kEngines.size()> byName = kEngines;
    std::sort(byName.begin(), byName.end(), [](Engine a, Engine b) { return engineKey(a) < engineKey(b); });
    for (Engine engine : byName)
        store.addBoolean(QStringLiteral("CheckBox") + engineKey(engine), QStringLiteral("Checked"),
            project.ticked[std::size_t(engine)]);
    for (int n = 1; n <= Project::KeywordCount; ++n)
        store.addText(QStringLiteral("edKeyWord%1").arg(n), QStringLiteral("Text"), project.keyword(n));
    store.addText(QStringLiteral("edWEB"), QStringLiteral("Text"), project.site);
    store.SetStorageName(path);
    store.RestoreProperties();
    return project;
}

using ProjectRegion = StoreTest;

TEST_F(ProjectRegion, ARegionHasASectionOfItsOwnAndRoundTripsByteForByte)
{
    const QByteArray withoutRegion = readBytes(sourceFile("project_default.zlt"));
    const std::pair<SearchRegion, QByteArray> rows[] = {
        { { 213, QStringLiteral("ru"), QStringLiteral("ru") }, kMoscowSection },
        { { 0, QStringLiteral("kz"), QStringLiteral("pt-BR") },
            "[Region: "
            "TcxPropertiesStoreComponent]\r\n=\r\nGoogleCountry=\"kz\"\r\nGoogleLanguage=\"pt-BR\"\r\n\r\n" },
    };
    for (const auto& [region, section] : rows) {
        Project project = designProject();
        project.region = region;
        ProgramStores::saveProject(project, path("region.zlt"));
        const QByteArray saved = readBytes(path("region.zlt"));
        EXPECT_EQ(saved, withoutRegion + section);

        Project reopened = designProject();
        ProgramStores::loadProject(reopened, path("region.zlt"));
        EXPECT_EQ(reopened, project);
        ProgramStores::saveProject(reopened, path("again.zlt"));
        EXPECT_EQ(readBytes(path("again.zlt")), saved);
    }
}

TEST_F(ProjectRegion, WithoutARegionTheFileStaysAsBeforeAndAFileWithoutOneClearsIt)
{
    Project project = designProject();
    project.region = { 213, QStringLiteral("ru"), QStringLiteral("ru") };
    ProgramStores::loadProject(project, sourceFile("project_default.zlt"));
    EXPECT_EQ(project, designProject());
    ProgramStores::saveProject(project, path("plain.zlt"));
    EXPECT_EQ(readBytes(path("plain.zlt")), readBytes(sourceFile("project_default.zlt")));
}

TEST_F(ProjectRegion, TheReaderOfBeforePassesOverTheRegionSection)
{
    Project project = designProject();
    project.site = QStringLiteral("http://www.example.ru/");
    project.keyword(2) = QStringLiteral("окна пвх");
    project.setTicked(Engine::AportRu, true);
    const Project withoutRegion = project;
    project.region = { 213, QStringLiteral("ru"), QStringLiteral("ru") };
    ProgramStores::saveProject(project, path("region.zlt"));
    EXPECT_EQ(readAsBefore(path("region.zlt")), withoutRegion);
}

TEST_F(ProjectRegion, ARegionValueThatIsNotOneIsRefusedByName)
{
    const std::pair<const char*, const char*> rows[] = {
        { "Yandex=\"0\"", "Yandex=\"0\" — нужен номер региона Яндекса от 1 до 999999999." },
        { "Yandex=\"99999999999\"",
            "Yandex=\"99999999999\" — нужен номер региона Яндекса от 1 до 999999999." },
        { "GoogleCountry=\"rus\"", "GoogleCountry=\"rus\" — нужен код страны из двух латинских букв." },
        { "GoogleLanguage=\"r&u\"", "GoogleLanguage=\"r&u\" — нужен код языка, например ru или pt-BR." },
    };
    const QByteArray plain = readBytes(sourceFile("project_default.zlt"));
    for (const auto& [line, reason] : rows) {
        writeBytes(
            path("bad.zlt"), plain + "[Region: TcxPropertiesStoreComponent]\r\n=\r\n" + line + "\r\n\r\n");
        try {
            ProgramStores::readProjectFile(path("bad.zlt"));
            ADD_FAILURE() << line;
        } catch (const EPropertiesStore& e) {
            EXPECT_EQ(e.message(),
                QStringLiteral("Регион в файле проекта не прочитан: ") + QString::fromUtf8(reason));
        }
    }
    // An empty value leaves its part unset.
    writeBytes(path("empty.zlt"),
        plain + "[Region: TcxPropertiesStoreComponent]\r\n=\r\nYandex=\"\"\r\nGoogleCountry=\"ru\"\r\n\r\n");
    EXPECT_EQ(ProgramStores::readProjectFile(path("empty.zlt")).region,
        (SearchRegion { 0, QStringLiteral("ru"), {} }));
}

} // namespace
