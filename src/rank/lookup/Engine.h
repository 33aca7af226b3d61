#pragma once

#include <QString>
#include <array>

// The six engines in the order a check visits them and the frame shows their columns.
enum class Engine { GoogleCom, GoogleRu, YandexRu, RamblerRu, AportRu, MSNCom };

inline constexpr std::array<Engine, 6> kEngines { Engine::GoogleCom, Engine::GoogleRu, Engine::YandexRu,
    Engine::RamblerRu, Engine::AportRu, Engine::MSNCom };

// The text that names an engine in component names: "GoogleCom", ... "MSNCom".
QString engineKey(Engine engine);
// How the program shows an engine: "Google.com" .. "MSN.com".
QString engineCaption(Engine engine);
