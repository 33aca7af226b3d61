// Figures of the position history on a real SQLite file in a temporary folder:
//  - recording one check of 7 keywords on 6 engines (open, write, close: what a check's end does);
//  - opening the history of a site with 3,650 daily checks (ten years) of 7 keywords on 6 engines:
//    reading it, filling the table model and drawing the chart of one keyword offscreen;
//  - the CSV of those checks, written to a file.
// Run with QT_QPA_PLATFORM=offscreen.

#include "history/HistoryCsv.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "history/PositionChartModel.h"
#include "history/ui/PositionChart.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kDays = 3650;

RecordedCheck dailyCheck(const QDateTime& time, int day)
{
    RecordedCheck check;
    check.time = time;
    check.site = QStringLiteral("http://www.example.ru/");
    check.projectPath = QStringLiteral("/home/user/example.zlt");
    check.cy = QStringLiteral("120");
    check.pr = QStringLiteral("4");
    for (int n = 1; n <= 7; ++n) {
        for (Engine engine : kEngines) {
            RecordedResult result;
            result.keyword = QStringLiteral("ключевое слово %1").arg(n);
            result.engine = engine;
            const int position = (day * 7 + n * 13 + int(engine) * 29) % 240 + 1;
            if (position <= 200) {
                result.position = position;
                result.text = QString::number(position);
                result.resultPage = (position - 1) / 10 + 1;
                result.reason = Reason::Found;
            } else {
                result.text = QStringLiteral("n/a");
                result.resultPage = 20;
                result.reason = Reason::NotFound;
            }
            if (engine == Engine::YandexRu)
                result.countText = QString::number(1000 + n);
            check.results.append(result);
        }
    }
    return check;
}

struct TenYears {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("history.sqlite"));
    TenYears()
    {
        HistoryDatabase db(path);
        const QDateTime start(QDate(2016, 1, 1), QTime(6, 0), Qt::UTC);
        for (int day = 0; day < kDays; ++day)
            db.record(dailyCheck(start.addDays(day), day));
    }
};

TenYears& tenYears()
{
    static TenYears history;
    return history;
}

void BM_RecordOneCheck(benchmark::State& state)
{
    QTemporaryDir dir;
    HistoryStore store(dir.filePath(QStringLiteral("history.sqlite")));
    store.record(dailyCheck(QDateTime::currentDateTimeUtc(), 0)); // the file exists, as after the first check
    int day = 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(store.record(dailyCheck(QDateTime::currentDateTimeUtc(), day++)));
}
BENCHMARK(BM_RecordOneCheck)->Unit(benchmark::kMillisecond);

void BM_OpenTenYearsAndDrawChart(benchmark::State& state)
{
    HistoryStore store(tenYears().path);
    for (auto _ : state) {
        HistoryTableModel table;
        table.setHistory(store.siteHistory(QStringLiteral("http://www.example.ru/")));
        const QString keyword = table.history().keywords().value(0);
        QChartView view;
        view.resize(960, 320);
        view.setChart(buildPositionChart(PositionChartModel(table.history(), keyword), keyword));
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(BM_OpenTenYearsAndDrawChart)->Unit(benchmark::kMillisecond);

// The parts of the above.
void BM_ReadTenYears(benchmark::State& state)
{
    HistoryStore store(tenYears().path);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.siteHistory(QStringLiteral("http://www.example.ru/")));
}
BENCHMARK(BM_ReadTenYears)->Unit(benchmark::kMillisecond);

void BM_TableOfTenYears(benchmark::State& state)
{
    const SiteHistory history
        = HistoryStore(tenYears().path).siteHistory(QStringLiteral("http://www.example.ru/"));
    for (auto _ : state) {
        HistoryTableModel table;
        table.setHistory(history);
    }
}
BENCHMARK(BM_TableOfTenYears)->Unit(benchmark::kMillisecond);

void BM_ChartOfTenYears(benchmark::State& state)
{
    const SiteHistory history
        = HistoryStore(tenYears().path).siteHistory(QStringLiteral("http://www.example.ru/"));
    const QString keyword = history.keywords().value(0);
    for (auto _ : state) {
        QChartView view;
        view.resize(960, 320);
        view.setChart(buildPositionChart(PositionChartModel(history, keyword), keyword));
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(BM_ChartOfTenYears)->Unit(benchmark::kMillisecond);

void BM_CsvOfTenYears(benchmark::State& state)
{
    HistoryStore store(tenYears().path);
    const QString target = tenYears().dir.filePath(QStringLiteral("history.csv"));
    const QString site = QStringLiteral("http://www.example.ru/");
    for (auto _ : state)
        writeHistoryCsv(target, store, &site);
}
BENCHMARK(BM_CsvOfTenYears)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
