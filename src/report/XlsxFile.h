#pragma once

#include "report/XlsxBook.h"

#include <QString>

// Writing an XlsxBook with libxlsxwriter. Failures throw WorkbookError with a Russian text
// followed by the library's own.
namespace XlsxFile {

// The message of a failure the library reports in its own words.
QString libraryFailure(const QString& libraryText);

// Why a worksheet may not carry this name; empty when it may.
QString sheetNameError(const QString& name);

// libxlsxwriter's border style for the spreadsheet's line style and weight; -1 when there is none.
int borderStyle(int lineStyle, int weight);

// Writes the book to path, creating or truncating the file.
void write(const XlsxBook& book, const QString& path);

// Writes the book to a new file in folder, named after its first sheet ("name.xlsx", or
// "name (2).xlsx" and so on when taken). The file appears under that name only when complete
// and never replaces another. Returns its path.
QString saveAsNew(const XlsxBook& book, const QString& folder);

// Replaces the file at path with the book; when that fails the old file stays as it was.
void saveAs(const XlsxBook& book, const QString& path);

} // namespace XlsxFile
