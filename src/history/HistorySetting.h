#pragma once

#include <QString>

// Where the program keeps its history: "этот компьютер" (the SQLite file, or the history
// KESTROVA_HISTORY names) or "общая база PostgreSQL" by a connection string. Kept in
// history.conf beside the remembered settings, read only when it is the user's own file; a
// connection string that holds a password is never taken or written.
struct HistorySetting {
    bool shared = false;
    QString server; // the libpq connection string

    // $XDG_CONFIG_HOME/Tellvik/Kestrova Sertrix/history.conf
    static QString path();
    // The setting as saved; "этот компьютер" when there is none or it cannot be read.
    static HistorySetting load();
    // Throws HistoryError with the reason; a string with a password is refused before anything
    // is written.
    void save() const;

    // The history the program opens by this setting.
    QString location() const;

    bool operator==(const HistorySetting&) const = default;
};

// Connects to the server, makes or moves forward its schema as a check would, and says what it
// found: "Подключение работает: ..." or the reason it does not.
QString checkHistoryConnection(const QString& conninfo);
