#include "rank/lookup/EngineDefinitions.h"
#include "rank/lookup/PageReading.h"

#include <gtest/gtest.h>

namespace {

// One Google.com entry: the link is the pattern's group, the text after it is not.
QByteArray entry(const QByteArray& link, const QByteArray& text = "T")
{
    return "<div class=g><a href=\"" + link + "\">T</a> " + text + "</div>\n";
}

struct SitePlace {
    const char* name;
    QByteArray page;
    const char* position; // "" when the site is not found
    int entries;
};

class SiteKeyPlace : public ::testing::TestWithParam<SitePlace> { };

} // namespace

// The site counts only where an entry's link holds it, whatever the text around the links holds.
TEST_P(SiteKeyPlace, OnlyALinkHoldingTheKeyGivesThePosition)
{
    const SitePlace& row = GetParam();
    const PageReading reading = readResultPage(builtInEngine(Engine::GoogleCom), row.page, "example.ru", 1);
    EXPECT_EQ(reading.position.value_or(""), QByteArray(row.position));
    EXPECT_EQ(reading.entries, row.entries);
}

INSTANTIATE_TEST_SUITE_P(Pages, SiteKeyPlace,
    ::testing::Values(
        SitePlace { "inTheThirdLink",
            entry("http://a.ru/") + entry("http://b.ru/") + entry("http://www.example.ru/x"), "13", 3 },
        SitePlace { "inTextBeforeItsLink",
            entry("http://a.ru/", "example.ru") + entry("http://b.ru/") + entry("http://example.ru/"), "13",
            3 },
        SitePlace { "inTextAfterTheLastLink", entry("http://a.ru/") + entry("http://b.ru/", "see example.ru"),
            "", 2 },
        SitePlace {
            "cutShortByTheLinkEnd", entry("http://example.r") + entry("http://b.ru/example.ru"), "12", 2 },
        SitePlace { "inTheFirstLink", entry("example.ru") + entry("http://example.ru/"), "11", 1 },
        SitePlace { "nowhere", entry("http://a.ru/") + entry("http://b.ru/"), "", 2 }),
    [](const auto& info) { return std::string(info.param.name); });

// A reader used for page after page looks for the site afresh in each: a place found on one page
// says nothing about the next.
TEST(PageReader, LooksForTheSiteAfreshOnEveryPage)
{
    PageReader reader(builtInEngine(Engine::GoogleCom), "example.ru");
    const QByteArray first
        = entry("http://a.ru/") + entry("http://b.ru/") + entry("http://c.ru/", "example.ru");
    const QByteArray second = entry("http://a.ru/") + entry("http://example.ru/");
    EXPECT_FALSE(reader.read(first, 0).position);
    EXPECT_EQ(reader.read(second, 1).position.value_or(""), "12");
    EXPECT_EQ(reader.read(first, 2).position.value_or(""), "");
    EXPECT_EQ(reader.read(second, 3).position.value_or(""), "32");
}

// A page is read up to its first NUL byte, by the search for the site and by the count alike.
TEST(PageReader, ReadsAPageUpToItsFirstNulByte)
{
    const QByteArray aport = "<li value=1>\n<span class=title>\n<a href=\"http://a.ru/\">T</a></span></li>\n";
    const QByteArray aportSite
        = "<li value=7>\n<span class=title>\n<a href=\"http://example.ru/\">T</a></span></li>\n";
    QByteArray page = aport + aport;
    page += '\0';
    page += aport + aportSite;
    PageReading reading = readResultPage(builtInEngine(Engine::AportRu), page, "example.ru", 0);
    EXPECT_FALSE(reading.position);
    EXPECT_EQ(reading.entries, 2);

    QByteArray google = entry("http://a.ru/");
    google += '\0';
    google += entry("http://example.ru/");
    reading = readResultPage(builtInEngine(Engine::GoogleCom), google, "example.ru", 0);
    EXPECT_FALSE(reading.position);
    EXPECT_EQ(reading.entries, 1);
}
