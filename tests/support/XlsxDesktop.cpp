#include "support/XlsxDesktop.h"

#include <QDir>
#include <QFile>
#include <optional>

namespace {

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
}

} // namespace

// xdg-mime splits its folder lists at blanks, so the folder's name has none.
XlsxDesktop::XlsxDesktop(bool withSpreadsheetApplication)
    : m_root(QDir::tempPath() + QStringLiteral("/ks-desktop-XXXXXX"))
{
    const QString root = m_root.path();
    for (const char* folder : { "data", "data-dirs", "config-dirs", "tmp" })
        QDir().mkpath(root + u'/' + QLatin1String(folder));
    set("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("/data")));
    set("XDG_DATA_DIRS", QFile::encodeName(root + QStringLiteral("/data-dirs")));
    set("XDG_CONFIG_DIRS", QFile::encodeName(root + QStringLiteral("/config-dirs")));
    set("TMPDIR", QFile::encodeName(tempFolder()));
    // xdg-mime asks the desktop environment's own tools when it recognises one.
    for (const char* name :
        { "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID" })
        unset(name);
    if (withSpreadsheetApplication) {
        writeFile(root + QStringLiteral("/data/applications/test-sheets.desktop"),
            "[Desktop Entry]\nType=Application\nName=Test Sheets\nExec=true %f\n"
            "MimeType=application/vnd.openxmlformats-officedocument.spreadsheetml.sheet;\n");
    }
}

XlsxDesktop::~XlsxDesktop()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
        if (it->second)
            qputenv(it->first.constData(), *it->second);
        else
            qunsetenv(it->first.constData());
    }
}

QString XlsxDesktop::tempFolder() const
{
    return m_root.filePath(QStringLiteral("tmp"));
}

QStringList XlsxDesktop::tempFiles() const
{
    return QDir(tempFolder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void XlsxDesktop::set(const char* name, const QByteArray& value)
{
    m_saved.append({ name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt });
    qputenv(name, value);
}

void XlsxDesktop::unset(const char* name)
{
    m_saved.append({ name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt });
    qunsetenv(name);
}
