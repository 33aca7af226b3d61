#pragma once

#include "rank/lookup/Engine.h"

#include <QString>

// The name of an engine's gauge; engineCaption() gives its caption.
QString gaugeName(Engine engine);
