#pragma once

#include "rank/project/ProjectResults.h"

#include <QString>

// A checked project: every result text distinct and many of them looking like numbers or dates,
// which the report must keep as texts.
struct ReportSample {
    Project project;
    ProjectResults results;
};

inline ReportSample checkedProject()
{
    ReportSample sample;
    sample.project.site = QStringLiteral("http://www.example.ru/");
    sample.results.pr.text = QStringLiteral("4");
    sample.results.cy.text = QStringLiteral("120");
    for (int n = 1; n <= Project::KeywordCount; ++n) {
        sample.project.keyword(n) = n == 4 ? QString() : QStringLiteral("слово %1").arg(n);
        for (Engine engine : kEngines) {
            const int e = int(engine);
            sample.results.rank(engine, n).text = QStringLiteral("%1.%2").arg(e + 1).arg(n * 10);
            sample.results.count(engine, n).text = QStringLiteral("0%1%2").arg(e).arg(n);
        }
    }
    sample.results.rank(Engine::GoogleCom, 1).text = QStringLiteral("007");
    sample.results.rank(Engine::GoogleRu, 1).text = QStringLiteral("n/a");
    sample.results.rank(Engine::YandexRu, 1).text = QStringLiteral("07.12.2026");
    sample.results.rank(Engine::RamblerRu, 1).text = QStringLiteral("=1+1");
    sample.results.rank(Engine::AportRu, 1).text = QString();
    sample.results.rank(Engine::MSNCom, 1).text = QStringLiteral("1e5");
    return sample;
}
