#include "schedule/CheckNotice.h"

#include <gtest/gtest.h>

namespace {

RecordedResult result(
    const char* keyword, Engine engine, std::optional<int> position, Reason reason = Reason::Found)
{
    RecordedResult r;
    r.keyword = QString::fromUtf8(keyword);
    r.engine = engine;
    r.position = position;
    r.reason = position ? Reason::Found : reason == Reason::Found ? Reason::NotFound : reason;
    r.text = position ? QString::number(*position) : QStringLiteral("n/a");
    return r;
}

RecordedCheck check(QList<RecordedResult> results)
{
    RecordedCheck c;
    c.site = QStringLiteral("http://www.okna.ru/");
    c.results = std::move(results);
    return c;
}

struct NoticeRow {
    const char* name;
    QList<RecordedResult> before;
    QList<RecordedResult> after;
    const char* body; // nullptr: no notice
};

class Notices : public ::testing::TestWithParam<NoticeRow> { };

TEST_P(Notices, TellWhatMoved)
{
    const NoticeRow& row = GetParam();
    const RecordedCheck previous = check(row.before);
    const auto notice = CheckNotice::afterCheck(check(row.after), &previous, std::nullopt);
    if (!row.body) {
        EXPECT_FALSE(notice) << notice->body.toStdString();
        return;
    }
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->summary, QStringLiteral("http://www.okna.ru/"));
    EXPECT_EQ(notice->body, QString::fromUtf8(row.body));
}

const Engine Y = Engine::YandexRu;
const Engine G = Engine::GoogleRu;

INSTANTIATE_TEST_SUITE_P(Rows, Notices,
    ::testing::Values(
        NoticeRow { "nothing_moved", { result("окна пвх", Y, 4), result("двери", G, std::nullopt) },
            { result("окна пвх", Y, 4), result("двери", G, std::nullopt) }, nullptr },
        NoticeRow { "one_up", { result("окна пвх", Y, 12) }, { result("окна пвх", Y, 4) },
            "1 выше\nокна пвх, Yandex.ru: 12 → 4" },
        NoticeRow { "counts_and_the_three_biggest",
            { result("окна пвх", Y, 12), result("окна", Y, 5), result("двери", Y, 30), result("рамы", Y, 7),
                result("стекло", Y, 2), result("подоконник", Y, 9) },
            { result("окна пвх", Y, 4), result("окна", Y, 6), result("двери", Y, 10), result("рамы", Y, 3),
                result("стекло", Y, std::nullopt), result("подоконник", Y, 9) },
            "3 выше, 1 ниже, 1 пропал\nстекло, Yandex.ru: 2 → нет\nдвери, Yandex.ru: 30 → 10\nокна пвх, "
            "Yandex.ru: 12 → 4" },
        NoticeRow { "found_again", { result("окна", G, std::nullopt), result("рамы", G, std::nullopt) },
            { result("окна", G, 8), result("рамы", G, 15) },
            "2 появились\nокна, Google.ru: нет → 8\nрамы, Google.ru: нет → 15" },
        NoticeRow { "undecided_results_say_nothing",
            { result("окна", Y, 3), result("рамы", Y, std::nullopt, Reason::Failed) },
            { result("окна", Y, std::nullopt, Reason::Failed), result("рамы", Y, 5) }, nullptr },
        NoticeRow { "new_keywords_have_nothing_to_compare", { result("окна", Y, 3) },
            { result("окна", Y, 3), result("рамы", Y, 5) }, nullptr },
        NoticeRow { "same_keyword_other_engine", { result("окна", Y, 3), result("окна", G, 9) },
            { result("окна", Y, 3), result("окна", G, 11) }, "1 ниже\nокна, Google.ru: 9 → 11" },
        NoticeRow { "blocked_counted_apart_from_the_moves",
            { result("окна", Y, 3), result("рамы", Y, 5), result("окна", G, 9) },
            { result("окна", Y, std::nullopt, Reason::Blocked),
                result("рамы", Y, std::nullopt, Reason::Blocked), result("окна", G, 4) },
            "1 выше\n2 ячейки не проверены: поисковик блокирует запросы (Yandex.ru)\nокна, Google.ru: 9 → "
            "4" },
        NoticeRow { "blocked_alone", { result("окна", Y, 3) },
            { result("окна", Y, std::nullopt, Reason::Blocked) },
            "1 ячейка не проверена: поисковик блокирует запросы (Yandex.ru)" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Notices, TheFirstCheckOfASiteSaysNothing)
{
    EXPECT_FALSE(CheckNotice::afterCheck(check({ result("окна", Y, 3) }), nullptr, std::nullopt));
}

TEST(Notices, ACheckWithNothingAnsweredSaysSo)
{
    const RecordedCheck previous = check({ result("окна", Y, 3) });
    const auto notice = CheckNotice::afterCheck(check({ result("окна", Y, std::nullopt, Reason::Failed) }),
        &previous, QStringLiteral("Connection refused"));
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->summary, QStringLiteral("http://www.okna.ru/"));
    EXPECT_EQ(notice->body,
        QStringLiteral("Ни один запрос не получил ответа. Последняя ошибка: Connection refused"));
}

TEST(Notices, ACheckEndedByAnErrorSaysSo)
{
    RecordedCheck current = check({});
    current.outcome = CheckOutcome::Error;
    current.error = QStringLiteral("Нет места на диске");
    const auto notice = CheckNotice::afterCheck(current, nullptr, std::nullopt);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->body, QStringLiteral("Проверка прервана ошибкой: Нет места на диске"));
}

TEST(Notices, AFailedRunNamesTheProjectFile)
{
    const DesktopNotice notice
        = CheckNotice::failed(QStringLiteral("/home/me/сайты/окна.zlt"), QStringLiteral("файл не найден"));
    EXPECT_EQ(notice.summary, QStringLiteral("Проверка по расписанию не выполнена"));
    EXPECT_EQ(notice.body, QStringLiteral("окна.zlt: файл не найден"));
}

} // namespace
