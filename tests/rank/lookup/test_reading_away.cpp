#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/ReadingAway.h"

#include <QTimer>
#include <gtest/gtest.h>

// While a page is read, the thread that asked for it goes on with its events (a stop or a pause of
// the window is answered); the reading and what it throws come back to it as if read there.
TEST(ReadingAway, EventsAreAnsweredWhileAPageIsRead)
{
    const EngineDefinition& row = builtInEngine(Engine::GoogleCom);
    QByteArray page;
    while (page.size() < 32 * 1024 * 1024)
        page += "<div class=g>\n<h2 class=r><a href=\"http://www.site.ru/page.html\" class=l>Title</a></h2>"
                "<div class=s>Snippet text<br><cite>site.ru/</cite></div></div>\n";
    PageReader away(row, "example.com");
    bool answered = false;
    QTimer::singleShot(0, [&answered] { answered = true; });

    const PageReading reading = readAway(away, page, 0);

    EXPECT_TRUE(answered);
    PageReader here(row, "example.com");
    const PageReading expected = here.read(page, 0);
    EXPECT_EQ(reading.entries, expected.entries);
    EXPECT_EQ(reading.position, expected.position);
    EXPECT_EQ(reading.budgetUsed, expected.budgetUsed);

    PageReader hostile(row, "example.com");
    EXPECT_THROW(readAway(hostile,
                     "<div>" + QByteArray(200000, ' ') + "<a href=x \" <a href=\"http://example.com/\"", 0),
        EPageTooComplex);
}
