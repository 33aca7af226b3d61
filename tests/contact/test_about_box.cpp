#include "contact/FileVersion.h"
#include "contact/ui/TfmAbout.h"
#include "net/Endpoints.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/LinkLabel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class RecordingDesktop : public DesktopServices {
public:
    explicit RecordingDesktop(QStringList* urls)
        : m_urls(urls)
    {
    }
    bool openUrl(const QString& url) override
    {
        *m_urls << url;
        return false; // the result is of no interest to the box
    }
    bool openFile(const QString&) override { return false; }

private:
    QStringList* m_urls;
};

QString program()
{
    return qEnvironmentVariable("KS_PROGRAM_BIN");
}

class AboutBox : public ::testing::Test {
protected:
    void TearDown() override
    {
        DesktopServices::install(nullptr);
        Endpoints::setCurrent(Endpoints::defaults());
    }

    // Shows the box for the file, as the menu does, and closes it with its button.
    QString shownLineFor(const QString& path)
    {
        QString line;
        QTimer::singleShot(0, &box, [this, &line] {
            line = box.Label2->text();
            EXPECT_EQ(QApplication::activeModalWidget(), &box);
            box.Button1->click();
        });
        box.showVersionOf(path);
        EXPECT_FALSE(box.isVisible());
        return line;
    }

    TfmAbout box;
};

} // namespace

TEST_F(AboutBox, ShowsTheVersionOfTheFileAndRebuildsTheLineOnEveryOpening)
{
    ASSERT_FALSE(program().isEmpty());
    EXPECT_EQ(shownLineFor(program()),
        QStringLiteral("Версия " KS_EXPECTED_FILE_VERSION "         Язык:  Русский"));
    // This test program carries no version information: the line keeps its blanks and language.
    EXPECT_EQ(shownLineFor(QCoreApplication::applicationFilePath()),
        QStringLiteral("Версия          Язык:  Русский"));
    EXPECT_EQ(shownLineFor(program()), versionLine(QStringLiteral(KS_EXPECTED_FILE_VERSION)));
}

TEST_F(AboutBox, MakersNameOpensItsWebPage)
{
    Endpoints endpoints = Endpoints::defaults();
    endpoints.MakerSite = QStringLiteral("127.0.0.1:8081");
    Endpoints::setCurrent(endpoints);
    QStringList urls;
    DesktopServices::install(std::make_unique<RecordingDesktop>(&urls));
    box.Label6Click();
    EXPECT_EQ(urls, QStringList { QStringLiteral("http://127.0.0.1:8081/") });
}

TEST_F(AboutBox, MakersNameLiesOverTheGapOfTheMakerLine)
{
    const QString line = box.Label5->text();
    const QFontMetrics metrics(box.Label5->font());
    const int start = int(line.indexOf(QStringLiteral("   ")));
    ASSERT_GT(start, 0);
    int end = start;
    while (end < line.size() && line[end] == u' ')
        ++end;
    const int gapLeft = box.Label5->x() + metrics.horizontalAdvance(line.left(start));
    const int gapRight = box.Label5->x() + metrics.horizontalAdvance(line.left(end));
    EXPECT_GE(box.Label6->x(), gapLeft);
    EXPECT_LE(box.Label6->x() + box.Label6->sizeHint().width(), gapRight);
    EXPECT_EQ(box.Label6->y(), box.Label5->y());
    EXPECT_TRUE(box.Label6->font().underline());
}
