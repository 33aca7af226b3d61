#pragma once

#include "rank/lookup/Engine.h"

#include <QString>

// How the frame shows an engine: "Google.com" .. "MSN.com", and the name of its gauge.
QString engineCaption(Engine engine);
QString gaugeName(Engine engine);
