#pragma once

#include "rank/lookup/PageReading.h"

#include <QByteArray>

// Reads a result page on a thread of the pool while this thread goes on with its events, so that a
// window stays answering (pause, stop) during a long reading; returns once the page is read. The
// reader is used by that thread alone meanwhile: nothing else may use it until this returns. Throws
// what the reading threw (EPageTooComplex, ERegExpr), here.
PageReading readAway(PageReader& reader, const QByteArray& page, int pageIndex);
