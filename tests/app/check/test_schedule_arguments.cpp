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
        { { "--schedule", "daily@07:30" }, "--schedule требует файла проекта" },
        { { "--schedule" }, "--schedule требует значения" },
        { { "--schedule", "daily@07:30", "--json", "site.zlt" },
            "--schedule не запускает проверку: с ним указывается только файл проекта" },
        { { "--schedule", "off", "--scheduled", "site.zlt" },
            "--schedule не запускает проверку: с ним указывается только файл проекта" },
        { { "--schedule", "off", "--history-csv", "a.csv", "site.zlt" },
            "--schedule не запускает проверку: с ним указывается только файл проекта" },
        { { "--schedules", "site.zlt" },
            "--schedules не запускает проверку: укажите его без других параметров" },
        { { "--schedules", "--schedule", "off" },
            "--schedules не запускает проверку: укажите его без других параметров" },
        { { "--scheduled", "--history-csv", "a.csv" },
            "--history-csv не запускает проверку: с ним указывается только --site" },
    };
    for (const auto& [arguments, text] : rows) {
        const auto parsed = parseCheckArguments(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << arguments.join(u' ').toStdString();
        EXPECT_EQ(std::get<UsageError>(parsed).text, QString::fromUtf8(text))
            << arguments.join(u' ').toStdString();
    }
}

} // namespace
