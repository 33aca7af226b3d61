#pragma once

#include "history/HistoryRecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

class HistoryStore;

// The full data set as CSV (RFC 4180: comma, CRLF, fields with a comma, a quote or a line break
// quoted, quotes doubled), UTF-8 with a byte-order mark, one row per recorded result under the
// header row
// "time,site,keyword,engine,position,result_page,query_count,cy,pagerank,reason,outcome,definitions,region,
// host,user,yandex-search-api,serp-json,yandex-wordstat-api"; the requests a check spent on each API
// source stand on its first row, the other rows leave them empty.
QByteArray historyCsv(const QList<RecordedCheck>& checks);

// The byte-order mark and the header row.
QByteArray historyCsvHeader();
// The rows of one check, one per result.
void appendHistoryCsvRows(QByteArray& out, const RecordedCheck& check);

// A spreadsheet would run a field such as "=HYPERLINK(...)" from a keyword as a formula; such a
// field is written after an apostrophe, which makes it text there. A field is guarded when it
// starts with one of "=+-@", a tab or a carriage return, unless it is a plain number such as "-5"
// or "+1.5e3". The same rule as regular expressions, for a store that writes the rows itself.
bool needsFormulaGuard(QByteArrayView utf8);
inline constexpr char kFormulaStartPattern[] = "^[-=+@\\t\\r]";
inline constexpr char kPlainNumberPattern[] = "^[-+]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)([eE][-+]?[0-9]+)?$";

// Writes the CSV to path at once (never a partial file); throws HistoryError with the reason.
void writeHistoryCsv(const QString& path, const QList<RecordedCheck>& checks);

// The same bytes for the checks of the site in the history (every site when it is null), written
// while they are read, one check in memory at a time. Throws HistoryError, the old file kept.
void writeHistoryCsv(const QString& path, const HistoryStore& store, const QString* site);
