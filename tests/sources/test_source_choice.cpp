#include "rank/lookup/EngineDefinitions.h"
#include "sources/SourceChoiceSetting.h"
#include "sources/SourceKeyStore.h"
#include "sources/ui/SourcesDialog.h"

#include <QComboBox>
#include <QFile>
#include <QSettings>
#include <gtest/gtest.h>

namespace {

QString settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Tellvik/Kestrova Sertrix.conf");
}

class SourceChoiceTest : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(settingsFile()); }
    void TearDown() override { QFile::remove(settingsFile()); }
};

TEST_F(SourceChoiceTest, TheChoiceIsKeptInTheProgramsSettingsByEngineKey)
{
    SourceChoice choice;
    choice.engines[0] = QStringLiteral("serp-json");
    choice.engines[2] = QStringLiteral("yandex-search-api");
    choice.wordstat = QStringLiteral("yandex-wordstat-api");
    EXPECT_EQ(SourceChoiceSetting::save(choice), "");
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
        "[Migration]\nRegFiles=true\n\n[Sources]\nGoogleCom=serp-json\nWordstat=yandex-wordstat-"
        "api\nYandexRu=yandex-search-api\n");
    const SourceChoice read = SourceChoiceSetting::load();
    EXPECT_EQ(read.engines[0], "serp-json");
    EXPECT_EQ(read.engines[1], "");
    EXPECT_EQ(read.engines[2], "yandex-search-api");
    EXPECT_EQ(read.wordstat, "yandex-wordstat-api");
}

TEST_F(SourceChoiceTest, AValueThatIsNoSourceCodeIsNoChoice)
{
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Tellvik", "Kestrova Sertrix");
        settings.setValue("Sources/GoogleCom", "serp json");
        settings.setValue("Sources/GoogleRu", "../page");
        settings.setValue("Sources/YandexRu", QString(41, u'a'));
        settings.setValue("Sources/Wordstat", "Page");
    }
    const SourceChoice read = SourceChoiceSetting::load();
    EXPECT_EQ(read.engines[0], "");
    EXPECT_EQ(read.engines[1], "");
    EXPECT_EQ(read.engines[2], "");
    EXPECT_EQ(read.wordstat, "");
}

TEST_F(SourceChoiceTest, TheDialogShowsTheOfferedSourcesAndTheStoredChoiceAgain)
{
    SourceOffers offers;
    for (QStringList& offered : offers.engines)
        offered = QStringList { "page" };
    offers.engines[0] = QStringList { "page", "serp-json" };
    offers.engines[2] = QStringList { "page", "yandex-search-api" };
    offers.wordstat = QStringList { "page", "yandex-wordstat-api" };
    SourceChoice stored;
    stored.engines[2] = QStringLiteral("serp-json"); // not offered for Yandex: its first source
    const SourceKeyStore store;
    {
        SourcesDialog dialog(offers, stored, FoundKeys {}, store);
        EXPECT_EQ(dialog.CBEngines[0]->count(), 2);
        EXPECT_EQ(dialog.CBEngines[0]->itemText(0), "Страницы результатов");
        EXPECT_EQ(dialog.CBEngines[0]->itemText(1), "SERP JSON API");
        EXPECT_EQ(dialog.CBEngines[2]->itemText(1), "Yandex Search API");
        EXPECT_EQ(dialog.CBWordstat->itemText(1), "Yandex Wordstat API");
        EXPECT_EQ(dialog.CBEngines[2]->currentIndex(), 0);
        dialog.CBEngines[0]->setCurrentIndex(1);
        dialog.CBWordstat->setCurrentIndex(1);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    const SourceChoice kept = SourceChoiceSetting::load();
    EXPECT_EQ(kept.engines[0], "serp-json");
    EXPECT_EQ(kept.engines[2], "page");
    EXPECT_EQ(kept.wordstat, "yandex-wordstat-api");
    SourcesDialog again(offers, kept, FoundKeys {}, store);
    EXPECT_EQ(again.CBEngines[0]->currentText(), "SERP JSON API");
    EXPECT_EQ(again.CBWordstat->currentText(), "Yandex Wordstat API");
    EXPECT_EQ(again.windowTitle(), "Источники результатов");
}

TEST(OfferedSourcesTest, PageReadingIsFirstAndTheBuiltInDefinitionsOfferTheirApis)
{
    const SourceOffers offers = offeredSources(EngineDefinitions::builtIn());
    const QStringList expected[] = { { "page", "serp-json" }, { "page", "serp-json" },
        { "page", "yandex-search-api" }, { "page" }, { "page" }, { "page" } };
    for (std::size_t i = 0; i < offers.engines.size(); ++i)
        EXPECT_EQ(offers.engines[i], expected[i]) << i;
    EXPECT_EQ(offers.wordstat, QStringList({ "page", "yandex-wordstat-api" }));
}

} // namespace
