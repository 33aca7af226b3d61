#include "platform/ProgramLocale.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {

struct SystemLocale {
    const char* name;
    const char* date; // 7 December 2026 in the short format
    const char* number; // 1234.5
};

class ProgramLocaleOf : public ::testing::TestWithParam<SystemLocale> { };

TEST_P(ProgramLocaleOf, FormatsDatesAndNumbers)
{
    const QLocale locale = programLocale(QLocale(QString::fromUtf8(GetParam().name)));
    EXPECT_EQ(locale.toString(QDate(2026, 12, 7), QLocale::ShortFormat), QString::fromUtf8(GetParam().date));
    EXPECT_EQ(locale.toString(1234.5, 'f', 1), QString::fromUtf8(GetParam().number));
}

INSTANTIATE_TEST_SUITE_P(Systems, ProgramLocaleOf,
    ::testing::Values(SystemLocale { "C", "07.12.2026", "1\u00a0234,5" },
        SystemLocale { "ru_RU", "07.12.2026", "1\u00a0234,5" },
        SystemLocale { "de_DE", "07.12.26", "1.234,5" }, SystemLocale { "en_US", "12/7/26", "1,234.5" }));

} // namespace
