// The position history at the scale of years, measured from outside by bench/history_scale.sh:
//   history_scale gaps FILE       writes 36,500 daily checks of one site (one keyword on six
//                                 engines), the site not found every second day on every engine;
//   history_scale keywords FILE   writes 3,650 daily checks of seven keywords on six engines, one
//                                 keyword new every day (21,942 series);
//   history_scale daily FILE      writes 36,500 daily checks of seven keywords on six engines;
//   history_scale years FILE      writes ten years of daily checks (3,650) of seven keywords on six
//                                 engines (42 series), the site beyond position 200 now and then;
//   history_scale open FILE       opens the history window of that site offscreen and draws it once
//                                 it has read the history: the table filled, the chart of the first
//                                 keyword;
//   history_scale previous FILE   what starting a check reads of the history (the latest decided
//                                 result of its 42 series; for a scheduled check, the site's latest
//                                 check) and what the schedule dialog reads (the latest check of
//                                 each project), each 21 times, printing min/median/max ms.
// Not a Google Benchmark: the figures are the whole process's time and peak memory.

#include "history/HistoryDatabase.h"
#include "history/HistoryStore.h"
#include "history/ui/TfmHistory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QString kSite = QStringLiteral("http://www.example.ru/");
const QDateTime kStart(QDate(1990, 1, 1), QTime(6, 0), Qt::UTC);

RecordedResult result(const QString& keyword, Engine engine, std::optional<int> position)
{
    RecordedResult made;
    made.keyword = keyword;
    made.engine = engine;
    made.position = position;
    made.text = position ? QString::number(*position) : QStringLiteral("n/a");
    made.resultPage = position ? (*position - 1) / 10 + 1 : 20;
    made.reason = position ? Reason::Found : Reason::NotFound;
    if (engine == Engine::YandexRu)
        made.countText = QStringLiteral("1520");
    return made;
}

RecordedCheck check(int day)
{
    RecordedCheck made;
    made.time = kStart.addDays(day);
    made.site = kSite;
    made.projectPath = QStringLiteral("/home/user/example.zlt");
    made.cy = QStringLiteral("120");
    made.pr = QStringLiteral("4");
    return made;
}

void writeGaps(const QString& path)
{
    HistoryDatabase db(path);
    for (int day = 0; day < 36500; ++day) {
        RecordedCheck made = check(day);
        for (Engine engine : kEngines) {
            const bool found = day % 2 == 0;
            made.results.append(result(QStringLiteral("купить слона"), engine,
                found ? std::optional<int>((day * 7 + int(engine) * 29) % 200 + 1) : std::nullopt));
        }
        db.record(made);
    }
}

void writeKeywords(const QString& path)
{
    HistoryDatabase db(path);
    for (int day = 0; day < 3650; ++day) {
        RecordedCheck made = check(day);
        for (int n = 1; n <= 7; ++n) {
            const QString keyword = n < 7 ? QStringLiteral("ключевое слово %1").arg(n)
                                          : QStringLiteral("слово дня %1").arg(day);
            for (Engine engine : kEngines)
                made.results.append(result(keyword, engine, (day * 7 + n * 13 + int(engine) * 29) % 240 + 1));
        }
        db.record(made);
    }
}

void writeDaily(const QString& path, int days)
{
    HistoryDatabase db(path);
    for (int day = 0; day < days; ++day) {
        RecordedCheck made = check(day);
        for (int n = 1; n <= 7; ++n) {
            for (Engine engine : kEngines) {
                const int position = (day * 7 + n * 13 + int(engine) * 29) % 240 + 1;
                made.results.append(result(QStringLiteral("ключевое слово %1").arg(n), engine,
                    position <= 200 ? std::optional<int>(position) : std::nullopt));
            }
        }
        db.record(made);
    }
}

// min/median/max of 21 runs of one read, each with a new store, as the first read after the
// program's start opens the file.
template <typename Read> void timed(const char* what, const QString& path, Read read)
{
    std::vector<double> ms;
    qsizetype found = 0;
    for (int run = 0; run < 21; ++run) {
        QElapsedTimer timer;
        timer.start();
        const HistoryStore store(path);
        found = read(store);
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%s (%lld found): min %.2f ms, median %.2f ms, max %.2f ms\n", what,
        static_cast<long long>(found), ms.front(), ms[ms.size() / 2], ms.back());
}

void previousResults(const QString& path)
{
    QStringList keywords;
    for (int n = 1; n <= 7; ++n)
        keywords << QStringLiteral("ключевое слово %1").arg(n);
    const QList<Engine> engines(kEngines.begin(), kEngines.end());
    timed("start of a check, the latest decided result of 42 series", path, [&](const HistoryStore& store) {
        return store.latestDecidedResults(kSite, keywords, engines).size();
    });
    timed("start of a scheduled check, the site's latest check", path,
        [](const HistoryStore& store) { return qsizetype(store.latestCheck(kSite).has_value()); });
    timed("schedule dialog, the latest check of each project", path,
        [](const HistoryStore& store) { return store.latestCheckOfEachProject(kSite).size(); });
}

void openAndDraw(const QString& path)
{
    HistoryStore store(path);
    TfmHistory window(store, kSite);
    window.resize(960, 640);
    QEventLoop shown;
    QObject::connect(&window, &TfmHistory::historyShown, &shown, &QEventLoop::quit);
    shown.exec();
    window.grab();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("usage: history_scale gaps|keywords|daily|years|open|previous FILE\n", stderr);
        return 2;
    }
    if (args[1] == QLatin1String("gaps"))
        writeGaps(args[2]);
    else if (args[1] == QLatin1String("keywords"))
        writeKeywords(args[2]);
    else if (args[1] == QLatin1String("daily"))
        writeDaily(args[2], 36500);
    else if (args[1] == QLatin1String("years"))
        writeDaily(args[2], 3650);
    else if (args[1] == QLatin1String("open"))
        openAndDraw(args[2]);
    else if (args[1] == QLatin1String("previous"))
        previousResults(args[2]);
    else
        return 2;
    return 0;
}
