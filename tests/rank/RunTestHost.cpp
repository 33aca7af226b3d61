#include "RunTestHost.h"

RunUnderTest::RunUnderTest()
{
    project.site = QStringLiteral("http://www.example.ru/");
    project.ticked = {};
    QObject::connect(&run, &CheckRun::lookupDone,
        [this](Engine engine, int n) { lookups << engineKey(engine) + u' ' + QString::number(n); });
}

void RunUnderTest::fillWithOldResults()
{
    for (int n = 1; n <= Project::KeywordCount; ++n) {
        for (Engine engine : kEngines)
            results.rank(engine, n) = { QStringLiteral("old"), 1, {}, {}, CellResult::State::Written };
        results.count(Engine::YandexRu, n) = { QStringLiteral("old"), 0, {}, {}, CellResult::State::Written };
    }
    for (Engine engine : kEngines)
        results.gauge(engine) = 50;
}
