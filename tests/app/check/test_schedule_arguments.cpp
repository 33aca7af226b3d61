#include "app/check/CheckArguments.h"

#include <gtest/gtest.h>

namespace {

TEST(ScheduleArguments, AreRead)
{
    auto parsed = parseCheckArguments({ "--schedule", "daily@07:30", "site.zlt" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    EXPECT_EQ(std::get<CheckArguments>(parsed).schedule, QStringLiteral("daily@07:30"));
    EXPECT_EQ(std::get<CheckArguments>(parsed).projectPath, QStringLiteral("site.zlt"));

    parsed = parseCheckArguments({ "--schedules" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    EXPECT_TRUE(std::get<CheckArguments>(parsed).listSchedules);

    parsed = parseCheckArguments({ "--scheduled", "--json", "site.zlt" });
    ASSERT_TRUE(std::holds_alternative<CheckArguments>(parsed));
    EXPECT_TRUE(std::get<CheckArguments>(parsed).scheduled);
}

TEST(ScheduleArguments, ThatDoNotFitAreRefused)
{
    const std::pair<QStringList, const char*> rows[] = {
        { { "--schedule", "daily@07:30" }, "--schedule needs a project file" },
        { { "--schedule" }, "--schedule needs a value" },
        { { "--schedule", "daily@07:30", "--json", "site.zlt" },
            "--schedule runs no check: give only the project file with it" },
        { { "--schedule", "off", "--scheduled", "site.zlt" },
            "--schedule runs no check: give only the project file with it" },
        { { "--schedule", "off", "--history-csv", "a.csv", "site.zlt" },
            "--schedule runs no check: give only the project file with it" },
        { { "--schedules", "site.zlt" }, "--schedules runs no check: give it alone" },
        { { "--schedules", "--schedule", "off" }, "--schedules runs no check: give it alone" },
        { { "--scheduled", "--history-csv", "a.csv" },
            "--history-csv runs no check: give only --site with it" },
    };
    for (const auto& [arguments, text] : rows) {
        const auto parsed = parseCheckArguments(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << arguments.join(u' ').toStdString();
        EXPECT_EQ(std::get<UsageError>(parsed).text, QString::fromUtf8(text))
            << arguments.join(u' ').toStdString();
    }
}

} // namespace
