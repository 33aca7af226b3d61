#pragma once

#include <QtGlobal>

// A port of 127.0.0.1 that nothing listens on at the moment it is asked, for a server a test
// starts; throws std::runtime_error when the system gives none.
quint16 freeLoopbackPort();
