#include "rank/lookup/LookupOutcome.h"

Outcome Outcome::found(int page)
{
    return { Reason::Found, QStringLiteral("Найден на странице %1").arg(page) };
}

Outcome Outcome::found(int page, int lastPage)
{
    if (lastPage == page)
        return found(page);
    return { Reason::Found,
        QStringLiteral("Найден на странице %1, просмотр закончен на странице %2").arg(page).arg(lastPage) };
}

Outcome Outcome::figureRead()
{
    return { Reason::Found, QStringLiteral("Значение прочитано со страницы сервиса") };
}

Outcome Outcome::notFound(int pages)
{
    return { Reason::NotFound, QStringLiteral("Не найден на %1 страницах результатов").arg(pages) };
}

Outcome Outcome::shortList(int page)
{
    return { Reason::ShortList,
        QStringLiteral("Не найден: список результатов закончился на странице %1").arg(page) };
}

Outcome Outcome::unrecognised(int page)
{
    return { Reason::Unrecognised,
        QStringLiteral("Страница %1 не распознана: на ней нет ни одного результата (капча, страница "
                       "согласия или изменённая разметка). Описания поисковых систем могут быть "
                       "устаревшими: «Проверить обновления» загрузит новейшие")
            .arg(page) };
}

Outcome Outcome::tooComplex(int page, const QString& why)
{
    return { Reason::TooComplex,
        QStringLiteral("Страница %1 слишком сложна для разбора: %2").arg(page).arg(why) };
}

Outcome Outcome::failed(int attempts, const QString& lastError)
{
    return { Reason::Failed, QStringLiteral("Запрос не удался %1 раз: %2").arg(attempts).arg(lastError) };
}

Outcome Outcome::stopped()
{
    return { Reason::Stopped, QStringLiteral("Проверка остановлена") };
}

Outcome Outcome::engineNotTicked()
{
    return { Reason::NotAsked, QStringLiteral("Не запрашивался: поисковая система не выбрана") };
}

Outcome Outcome::keywordEmpty()
{
    return { Reason::NotAsked, QStringLiteral("Не запрашивался: ключевое слово не указано") };
}

Outcome Outcome::blocked(const QString& detail)
{
    return { Reason::Blocked, detail };
}

Outcome Outcome::blockedSkipped()
{
    return { Reason::Blocked, QStringLiteral("проверка пропущена: поисковик блокирует запросы") };
}

Outcome Outcome::refused(const QString& detail)
{
    return { Reason::Refused, detail };
}

Outcome Outcome::notFoundInResults(int results, const QString& source)
{
    return { Reason::NotFound,
        QStringLiteral("Не найден среди первых %1 результатов (%2)").arg(results).arg(source) };
}
