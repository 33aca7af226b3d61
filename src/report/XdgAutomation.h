#pragma once

#include "report/Automation.h"

#include <functional>

// Spreadsheet automation on a Linux desktop. "Excel.Application" is registered when the desktop
// has a default application for xlsx workbooks; the object created writes the workbook itself
// (XlsxApplication) and, when made visible, saves it as a new file in the given folder and opens
// it with that default application.
class XdgAutomation : public Automation {
public:
    using OpenDocument = std::function<bool(const QString& path)>;

    XdgAutomation(OpenDocument openDocument, QString folder);

    bool IsProgIDRegistered(const QString& progId) override;
    std::unique_ptr<SpreadsheetApplication> CreateOleObject(const QString& progId) override;

    static QString xlsxMimeType();

private:
    OpenDocument m_openDocument;
    QString m_folder;
};

// The desktop's default application for a MIME type (xdg-mime); empty when there is none or
// xdg-mime cannot tell.
QString defaultApplicationFor(const QString& mimeType);
