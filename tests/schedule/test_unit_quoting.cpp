#include "schedule/ScheduleError.h"
#include "schedule/UnitQuoting.h"

#include <gtest/gtest.h>

namespace {

struct QuotingRow {
    const char* word;
    const char* exec;
    const char* cron;
};

class Quoting : public ::testing::TestWithParam<QuotingRow> { };

TEST_P(Quoting, KeepsTheWordWhole)
{
    const QuotingRow& row = GetParam();
    EXPECT_EQ(UnitQuoting::execWord(QString::fromUtf8(row.word)), QString::fromUtf8(row.exec));
    EXPECT_EQ(UnitQuoting::cronWord(QString::fromUtf8(row.word)), QString::fromUtf8(row.cron));
}

INSTANTIATE_TEST_SUITE_P(Rows, Quoting,
    ::testing::Values(QuotingRow { "/home/me/site.zlt", "\"/home/me/site.zlt\"", "'/home/me/site.zlt'" },
        QuotingRow {
            "/home/me/my sites/a  b.zlt", "\"/home/me/my sites/a  b.zlt\"", "'/home/me/my sites/a  b.zlt'" },
        QuotingRow {
            "/home/me/\"quoted\".zlt", "\"/home/me/\\\"quoted\\\".zlt\"", "'/home/me/\"quoted\".zlt'" },
        QuotingRow { "/home/me/it's.zlt", "\"/home/me/it's.zlt\"", "'/home/me/it'\\''s.zlt'" },
        QuotingRow { "/home/me/100%.zlt", "\"/home/me/100%%.zlt\"", "'/home/me/100\\%.zlt'" },
        QuotingRow { "/home/me/%h.zlt", "\"/home/me/%%h.zlt\"", "'/home/me/\\%h.zlt'" },
        QuotingRow { "/home/me/$HOME.zlt", "\"/home/me/$$HOME.zlt\"", "'/home/me/$HOME.zlt'" },
        QuotingRow {
            "/home/me/back\\slash.zlt", "\"/home/me/back\\\\slash.zlt\"", "'/home/me/back\\slash.zlt'" },
        QuotingRow { "/home/me/сайты/окна пвх.zlt", "\"/home/me/сайты/окна пвх.zlt\"",
            "'/home/me/сайты/окна пвх.zlt'" }));

TEST(Quoting, RefusesALineBreak)
{
    for (const char* word : { "/home/me/a\nb.zlt", "/home/me/a\rb.zlt" }) {
        try {
            UnitQuoting::execWord(QString::fromUtf8(word));
            FAIL() << "quoted a line break";
        } catch (const ScheduleError& e) {
            EXPECT_TRUE(e.message().contains(
                QStringLiteral("содержит перевод строки, его нельзя записать в расписание")))
                << e.message().toStdString();
        }
        EXPECT_THROW(UnitQuoting::cronWord(QString::fromUtf8(word)), ScheduleError);
    }
    EXPECT_THROW(UnitQuoting::execWord(QStringLiteral("/home/me/a\tb.zlt")), ScheduleError);
}

TEST(Quoting, DescriptionsDoubleThePercentAndDropControlCharacters)
{
    EXPECT_EQ(UnitQuoting::specifierValue(QStringLiteral("100% %h\tок")), QStringLiteral("100%% %%hок"));
}

} // namespace
