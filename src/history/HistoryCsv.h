#pragma once

#include "history/HistoryRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

class HistoryStore;

// The full data set as CSV (RFC 4180: comma, CRLF, fields with a comma, a quote or a line break
// quoted, quotes doubled), UTF-8 with a byte-order mark, one row per recorded result under the
// header row
// "time,site,keyword,engine,position,result_page,query_count,cy,pagerank,reason,outcome,definitions,host,user".
QByteArray historyCsv(const QList<RecordedCheck>& checks);

// Writes the CSV to path at once (never a partial file); throws HistoryError with the reason.
void writeHistoryCsv(const QString& path, const QList<RecordedCheck>& checks);

// The same bytes for the checks of the site in the history (every site when it is null), written
// while they are read, one check in memory at a time. Throws HistoryError, the old file kept.
void writeHistoryCsv(const QString& path, const HistoryStore& store, const QString* site);
