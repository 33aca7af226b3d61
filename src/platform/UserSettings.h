#pragma once

#include <QString>
#include <memory>

class QSettings;

// The settings the program remembers for its user, through QSettings of the organization
// "Tellvik" and the application "Kestrova Sertrix": on Windows the registry key
// HKEY_CURRENT_USER\Tellvik\Kestrova Sertrix, elsewhere the INI file
// "$XDG_CONFIG_HOME/Tellvik/Kestrova Sertrix.conf". Keys are paths with '/' between segments.
//
// The file holds the proxy password: it is made readable by its owner only before anything is
// written into it. A file that is not a regular file of the user, that others may write to or
// that is larger than any settings are, is neither read nor written over.
//
// On first use the values of the files the earlier versions kept ("FileStore.reg",
// "PropertiesStore.reg" and "VerStore.reg" in the program's settings folder) are carried over once;
// the files are left where they are and never read again.
class UserSettings {
public:
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    // Opens the settings for reading; use settings() only when it is not null.
    UserSettings();
    ~UserSettings();
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;

    // The settings, or null when the file cannot be used (problem() says why); a missing file
    // reads as empty.
    QSettings* settings() const { return m_settings.get(); }
    // Why the settings cannot be used or were not written, in words; empty when nothing failed.
    const QString& problem() const { return m_problem; }

    // Makes the settings ready to be written: the file exists and is its owner's only.
    bool prepareWrite();
    // Writes every change made since and checks that the file is still its owner's only.
    bool sync();

    // Where the settings live: a file path, or on Windows the registry key.
    static QString location();

private:
    void open();
    void carryOverOldFiles();

    std::unique_ptr<QSettings> m_settings;
    QString m_problem;
};
