#pragma once

#include <QString>

class QIODevice;
struct CheckArguments;

// The history a check or an export uses: --history, else KESTROVA_HISTORY, else the file of this
// computer.
QString checkHistoryLocation(const CheckArguments& options);
// Says on err why the location is refused (a connection string with a password); true when it
// may be used.
bool acceptHistoryLocation(const QString& location, QIODevice& err);

// --history-csv FILE [--site SITE]. Returns the exit code.
int exportHistory(const CheckArguments& options, QIODevice& err);
// --history-copy FROM TO: every check of FROM that TO does not hold yet, with a progress line on
// err for a long history.
int copyHistory(const CheckArguments& options, QIODevice& err);
// --history-sync: the checks kept in the file of this computer for the server, sent to it.
int syncHistory(const CheckArguments& options, QIODevice& err);
