#include "AppFixture.h"

#include "app/frame/TfrRank.h"
#include "app/ui/ProjectTabBar.h"
#include "app/ui/RegionDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>

namespace {

RegionDialog* openRegionDialog(TfmMain& window)
{
    window.N18->trigger();
    return window.findChild<RegionDialog*>();
}

QString currentTip(const TfmMain& window)
{
    return window.TabControl->tabToolTip(window.TabControl->currentIndex());
}

TEST_F(MainWindowTest, TheRegionIsPickedFromTheListShownOnTheTabAndSavedWithTheProject)
{
    auto window = openWindow();
    prompts->fileName(writeProject("region.zlt", "http://region.ru", QStringLiteral("окна")));
    window->N4Click();
    TfrRank* frame = window->selectedFrame();
    EXPECT_EQ(window->N18->text(), QStringLiteral("Регион проверки..."));

    RegionDialog* dialog = openRegionDialog(*window);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Регион проверки"));
    EXPECT_EQ(dialog->CBYandex->currentText(), QStringLiteral("не задан"));
    const int moscow = dialog->CBYandex->findText(QStringLiteral("Москва (213)"));
    ASSERT_GE(moscow, 0);
    dialog->CBYandex->setCurrentIndex(moscow);
    emit dialog->CBYandex->activated(moscow);
    EXPECT_EQ(dialog->EYandex->text(), QStringLiteral("213"));
    EXPECT_EQ(dialog->ECountry->text(), QStringLiteral("ru"));
    EXPECT_EQ(dialog->ELanguage->text(), QStringLiteral("ru"));
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();

    const SearchRegion moscowRegion { 213, QStringLiteral("ru"), QStringLiteral("ru") };
    EXPECT_EQ(frame->project().region, moscowRegion);
    EXPECT_TRUE(frame->modified());
    EXPECT_EQ(currentTip(*window), QStringLiteral("Регион: Москва (213), Google: gl=ru, hl=ru"));
    window->N5Click();
    EXPECT_TRUE(readFile(filePath("region.zlt"))
                    .endsWith("[Region: TcxPropertiesStoreComponent]\r\n=\r\nYandex=\"213\"\r\n"
                              "GoogleCountry=\"ru\"\r\nGoogleLanguage=\"ru\"\r\n\r\n"));

    // Any id may be typed; the list then names it when it can.
    dialog = openRegionDialog(*window);
    ASSERT_TRUE(dialog);
    dialog->EYandex->clear();
    type(dialog->EYandex, QStringLiteral("65"));
    EXPECT_EQ(dialog->CBYandex->currentText(), QStringLiteral("Новосибирск (65)"));
    type(dialog->EYandex, QStringLiteral("4321"));
    EXPECT_EQ(dialog->CBYandex->currentIndex(), -1);
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(frame->project().region.yandex, 654321);
    EXPECT_EQ(currentTip(*window), QStringLiteral("Регион: 654321, Google: gl=ru, hl=ru"));
}

TEST_F(MainWindowTest, AWrongRegionIsToldAndTheDialogStaysOpen)
{
    auto window = openWindow();
    TfrRank* frame = window->selectedFrame();
    RegionDialog* dialog = openRegionDialog(*window);
    ASSERT_TRUE(dialog);
    type(dialog->EYandex, QStringLiteral("0"));
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    dialog->EYandex->clear();
    type(dialog->EYandex, QStringLiteral("213"));
    type(dialog->ECountry, QStringLiteral("r1"));
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(prompts->texts(),
        (QStringList { QStringLiteral("Регион Яндекса — номер от 1 до 999999999 (например, 213 — Москва)."),
            QStringLiteral("Страна Google — две латинские буквы (например, ru).") }));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(frame->project().region.isSet());
    EXPECT_FALSE(frame->modified());

    // Emptied fields leave the region unset.
    dialog->EYandex->clear();
    dialog->ECountry->clear();
    dialog->Buttons->button(QDialogButtonBox::Ok)->click();
    EXPECT_FALSE(frame->project().region.isSet());
    EXPECT_EQ(currentTip(*window), QString());
}

} // namespace
