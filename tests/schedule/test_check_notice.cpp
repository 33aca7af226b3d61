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
    c.time = QDateTime(QDate(2026, 12, 5), QTime(12, 0), Qt::UTC);
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
    EXPECT_EQ(notice->summary, QStringLiteral("Позиции изменились: http://www.okna.ru/"));
    EXPECT_EQ(notice->body, QString::fromUtf8(row.body));
}

const Engine Y = Engine::YandexRu;
const Engine G = Engine::GoogleRu;

INSTANTIATE_TEST_SUITE_P(Rows, Notices,
    ::testing::Values(
        NoticeRow { "nothing_moved", { result("окна пвх", Y, 4), result("двери", G, std::nullopt) },
            { result("окна пвх", Y, 4), result("двери", G, std::nullopt) }, nullptr },
        NoticeRow { "one_up", { result("окна пвх", Y, 12) }, { result("окна пвх", Y, 4) },
            "1 позиция выросла\nпо сравнению с проверкой 05.12.2026\n▲ окна пвх, Yandex.ru: 12 → 4" },
        NoticeRow { "counts_and_the_biggest_each_way",
            { result("окна пвх", Y, 12), result("окна", Y, 5), result("двери", Y, 30), result("рамы", Y, 7),
                result("стекло", Y, 2), result("подоконник", Y, 9), result("откосы", Y, 20) },
            { result("окна пвх", Y, 4), result("окна", Y, 6), result("двери", Y, 10), result("рамы", Y, 3),
                result("стекло", Y, std::nullopt), result("подоконник", Y, 9), result("откосы", Y, 15) },
            "4 позиции выросли, 1 позиция упала, 1 позиция пропала\nпо сравнению с проверкой 05.12.2026\n"
            "▲ двери, Yandex.ru: 30 → 10\n▲ окна пвх, Yandex.ru: 12 → 4\n▲ откосы, Yandex.ru: 20 → 15\n"
            "▼ стекло, Yandex.ru: 2 → нет\n▼ окна, Yandex.ru: 5 → 6" },
        NoticeRow { "found_again", { result("окна", G, std::nullopt), result("рамы", G, std::nullopt) },
            { result("окна", G, 8), result("рамы", G, 15) },
            "2 позиции появились\nпо сравнению с проверкой 05.12.2026\n▲ окна, Google.ru: нет → 8\n"
            "▲ рамы, Google.ru: нет → 15" },
        NoticeRow { "eleven_and_twenty_one",
            { result("a1", Y, 20), result("a2", Y, 20), result("a3", Y, 20), result("a4", Y, 20),
                result("a5", Y, 20), result("a6", Y, 20), result("a7", Y, 20), result("b1", G, 20),
                result("b2", G, 20), result("b3", G, 20), result("b4", G, 20), result("c1", Y, 1) },
            { result("a1", Y, 10), result("a2", Y, 11), result("a3", Y, 12), result("a4", Y, 13),
                result("a5", Y, 14), result("a6", Y, 15), result("a7", Y, 16), result("b1", G, 17),
                result("b2", G, 18), result("b3", G, 19), result("b4", G, 19), result("c1", Y, 21) },
            "11 позиций выросли, 1 позиция упала\nпо сравнению с проверкой 05.12.2026\n▲ a1, Yandex.ru: 20 → "
            "10\n"
            "▲ a2, Yandex.ru: 20 → 11\n▲ a3, Yandex.ru: 20 → 12\n▼ c1, Yandex.ru: 1 → 21" },
        NoticeRow { "undecided_results_say_nothing",
            { result("окна", Y, 3), result("рамы", Y, std::nullopt, Reason::Failed) },
            { result("окна", Y, std::nullopt, Reason::Failed), result("рамы", Y, 5) }, nullptr },
        NoticeRow { "new_keywords_have_nothing_to_compare", { result("окна", Y, 3) },
            { result("окна", Y, 3), result("рамы", Y, 5) }, nullptr },
        NoticeRow { "same_keyword_other_engine", { result("окна", Y, 3), result("окна", G, 9) },
            { result("окна", Y, 3), result("окна", G, 11) },
            "1 позиция упала\nпо сравнению с проверкой 05.12.2026\n▼ окна, Google.ru: 9 → 11" },
        NoticeRow { "blocked_counted_apart_from_the_moves",
            { result("окна", Y, 3), result("рамы", Y, 5), result("окна", G, 9) },
            { result("окна", Y, std::nullopt, Reason::Blocked),
                result("рамы", Y, std::nullopt, Reason::Blocked), result("окна", G, 4) },
            "1 позиция выросла\nпо сравнению с проверкой 05.12.2026\n"
            "2 ячейки не проверены: поисковик блокирует запросы (Yandex.ru)\n▲ окна, Google.ru: 9 → 4" },
        NoticeRow { "refused_counted_apart_from_the_blocked",
            { result("окна", Y, 3), result("рамы", Y, 5), result("окна", G, 9) },
            { result("окна", Y, std::nullopt, Reason::Refused),
                result("рамы", Y, std::nullopt, Reason::Blocked), result("окна", G, 4) },
            "1 позиция выросла\nпо сравнению с проверкой 05.12.2026\n"
            "1 ячейка не проверена: поисковик блокирует запросы (Yandex.ru)\n"
            "1 ячейка не проверена: источник результатов отказал, см. подсказку ячейки (Yandex.ru)\n"
            "▲ окна, Google.ru: 9 → 4" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Notices, RefusedCellsAloneAreToldToo)
{
    const RecordedCheck previous = check({ result("окна", Y, 3) });
    const auto notice = CheckNotice::afterCheck(
        check({ result("окна", Y, std::nullopt, Reason::Blocked) }), &previous, std::nullopt);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->summary, QStringLiteral("Позиции не проверены: http://www.okna.ru/"));
    EXPECT_EQ(notice->body, QStringLiteral("1 ячейка не проверена: поисковик блокирует запросы (Yandex.ru)"));
}

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

// A keyword or site of any length leaves room for the other lines, and a control character
// cannot break them.
TEST(Notices, LongKeywordsAndControlCharactersAreCut)
{
    const QString huge = QString(10000, u'с');
    RecordedResult longMove = result("x", Y, 4);
    longMove.keyword = huge;
    RecordedResult tabbed = result("окна\tпвх\x01\u202e", G, 9);
    RecordedCheck before = check({ result("x", Y, 12), result("окна\tпвх\x01\u202e", G, 3) });
    before.results[0].keyword = huge;
    RecordedCheck after = check({ longMove, tabbed });
    after.site = QString(500, u'w') + QStringLiteral("\n.ru");
    const auto notice = CheckNotice::afterCheck(after, &before, std::nullopt);
    ASSERT_TRUE(notice);
    EXPECT_EQ(
        notice->summary, QStringLiteral("Позиции изменились: ") + QString(79, u'w') + QStringLiteral("…"));
    const QStringList lines = notice->body.split(u'\n');
    ASSERT_EQ(lines.size(), 4) << notice->body.toStdString();
    EXPECT_EQ(lines[2], QStringLiteral("▲ ") + QString(79, u'с') + QStringLiteral("…, Yandex.ru: 12 → 4"));
    EXPECT_EQ(lines[3], QStringLiteral("▼ окнапвх, Google.ru: 3 → 9"));
}

} // namespace
