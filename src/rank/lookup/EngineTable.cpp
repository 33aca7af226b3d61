#include "rank/lookup/EngineTable.h"

#include <array>

namespace {

// One row per engine, in the order of the Engine enumeration. Made at its first use, so that it is
// there for the initialisers of other files too.
const std::array<EngineRow, 6>& rows()
{
    static const std::array<EngineRow, 6> table { {
        { Engine::GoogleCom, "GoogleCom", "Google.com", "Google.com", "PBGoogleCom", false },
        { Engine::GoogleRu, "GoogleRu", "Google.ru", "Google.ru", "PBGoogleRu", false },
        { Engine::YandexRu, "YandexRu", "Yandex.ru", "Yandex.ru", "PBYandexru", true, true },
        { Engine::RamblerRu, "RamblerRu", "Rambler.ru", "Rambler.ru", "PBRamblerru", true },
        { Engine::AportRu, "AportRu", "Aport.ru", "Aport.ru", "PBaportru", false },
        { Engine::MSNCom, "MSNCom", "MSN.com", "Msn.com", "PBmsncom", false },
    } };
    return table;
}

} // namespace

const EngineRow& engineRow(Engine engine)
{
    return rows().at(static_cast<std::size_t>(engine));
}

QStringList engineKeys()
{
    QStringList keys;
    for (const EngineRow& row : rows())
        keys << row.key;
    return keys;
}

std::optional<Engine> engineByKey(QAnyStringView key)
{
    for (const EngineRow& row : rows()) {
        if (QAnyStringView::equal(row.key, key))
            return row.engine;
    }
    return std::nullopt;
}

QString engineKey(Engine engine)
{
    return engineRow(engine).key;
}

QString engineCaption(Engine engine)
{
    return engineRow(engine).caption;
}
