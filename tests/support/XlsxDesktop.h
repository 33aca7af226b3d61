#pragma once

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>
#include <optional>
#include <utility>

// A desktop of the test's own for xdg-mime: the XDG data folders and the system's configuration
// folders point into a temporary folder, with or without an application for xlsx workbooks, and
// the user's temporary folder (TMPDIR) is a folder of the test. The per-user configuration folder
// stays the test's own. The environment is restored on destruction.
class XlsxDesktop {
public:
    explicit XlsxDesktop(bool withSpreadsheetApplication);
    ~XlsxDesktop();
    XlsxDesktop(const XlsxDesktop&) = delete;
    XlsxDesktop& operator=(const XlsxDesktop&) = delete;

    QString tempFolder() const;
    // The files in the temporary folder, hidden ones too, by name.
    QStringList tempFiles() const;

private:
    void set(const char* name, const QByteArray& value);
    void unset(const char* name);

    QTemporaryDir m_root;
    QList<std::pair<QByteArray, std::optional<QByteArray>>> m_saved;
};
