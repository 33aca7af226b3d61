#include "history/HistoryRecord.h"

#include "rank/lookup/QueryText.h"

QString outcomeText(CheckOutcome outcome)
{
    switch (outcome) {
    case CheckOutcome::Completed:
        return QStringLiteral("завершена");
    case CheckOutcome::Stopped:
        return QStringLiteral("остановлена");
    case CheckOutcome::Error:
        return QStringLiteral("ошибка");
    case CheckOutcome::NothingAnswered:
        return QStringLiteral("ни один запрос не получил ответа");
    }
    return {};
}

std::optional<int> positionFromText(const QString& text)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 9)
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    const int position = digits.toInt();
    if (position <= 0)
        return std::nullopt;
    return position;
}

QString seriesSite(const QString& siteText)
{
    return siteKeyOf(siteText.trimmed().toLower());
}

const RecordedResult* RecordedCheck::result(const QString& keyword, Engine engine) const
{
    for (const RecordedResult& r : results) {
        if (r.engine == engine && r.unknownEngine.isEmpty() && r.keyword == keyword)
            return &r;
    }
    return nullptr;
}

bool isDecided(Reason reason)
{
    return reason == Reason::Found || reason == Reason::NotFound || reason == Reason::ShortList;
}

QString engineText(const RecordedResult& result)
{
    return result.unknownEngine.isEmpty() ? engineCaption(result.engine) : result.unknownEngine;
}

QString engineCode(const RecordedResult& result)
{
    return result.unknownEngine.isEmpty() ? engineKey(result.engine) : result.unknownEngine;
}

QString reasonText(const RecordedResult& result)
{
    return result.unknownReason.isEmpty() ? reasonCode(result.reason) : result.unknownReason;
}

bool isDecided(const RecordedResult& result)
{
    return result.unknownReason.isEmpty() && isDecided(result.reason);
}
