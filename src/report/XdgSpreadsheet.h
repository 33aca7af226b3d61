#pragma once

#include "report/XlsxBook.h"

#include <QString>
#include <functional>

// The spreadsheet application of a Linux desktop: the default application for xlsx workbooks.
// A workbook is shown by saving it as a new file in the given folder and opening that file.
class XdgSpreadsheet {
public:
    using OpenDocument = std::function<bool(const QString& path)>;

    XdgSpreadsheet(OpenDocument openDocument, QString folder);

    // The desktop has a default application for xlsx workbooks.
    bool available() const;
    // Throws WorkbookError when the workbook cannot be written or opened.
    void show(const XlsxBook& book) const;

    static QString xlsxMimeType();

private:
    OpenDocument m_openDocument;
    QString m_folder;
};

// The desktop's default application for a MIME type (xdg-mime); empty when there is none or
// xdg-mime cannot tell.
QString defaultApplicationFor(const QString& mimeType);
