#pragma once

#include "report/FrameTexts.h"

class TfrRank;

// The texts the frame displays now, read from its components by their names.
FrameTexts displayedTexts(const TfrRank& frame);
