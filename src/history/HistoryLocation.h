#pragma once

#include "history/HistoryBackend.h"

#include <QString>
#include <memory>

// Where the history is kept: the path of a SQLite file, or a PostgreSQL server named by a libpq
// connection string (a postgresql:// URI, or key=value words such as "service=team").
namespace HistoryLocation {

// Names the shared history for kestrova-check and scheduled checks.
inline constexpr const char* kVariable = "KESTROVA_HISTORY";
// The schema of the tables on the server, "kestrova" unless set.
inline constexpr const char* kSchemaVariable = "KESTROVA_HISTORY_SCHEMA";

bool isServer(const QString& location);
// A server named by a string that may be used and kept: one without a password.
bool isAcceptedServer(const QString& location);
// KESTROVA_HISTORY when it is set, else the file of this computer.
QString configured();
// The schema KESTROVA_HISTORY_SCHEMA names, else "kestrova".
QString configuredSchema();
// What a scheduled check is given in KESTROVA_HISTORY to keep its results where location does:
// empty for the file of this computer, which it finds itself.
QString namedForUnits(const QString& location);
// "Файл истории: PATH" or "База истории: CONNINFO", for the messages that name it.
QString describe(const QString& location);

// Opens the store; throws HistoryError. busyTimeoutMs is how long a SQLite writer waits.
std::unique_ptr<HistoryBackend> open(const QString& location, int busyTimeoutMs);

} // namespace HistoryLocation
