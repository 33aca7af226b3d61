#pragma once

#include "net/ConnectionSettings.h"
#include "rank/api/SourceChoice.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <variant>

struct CheckArguments {
    bool json = false;
    bool help = false;
    bool version = false;
    std::optional<ConnectionSettings> proxy; // none: the remembered connection settings
    QString projectPath;
    QString xlsxPath; // empty: no workbook
    bool noHistory = false; // the check is not kept in the position history
    QString historyCsv; // export the position history to this file instead of checking
    std::optional<QString> historySite; // only this site's history
    // The history's file or PostgreSQL connection string; none: KESTROVA_HISTORY, else the file
    // of this computer.
    std::optional<QString> history;
    // Copy every check of one history into another instead of checking.
    QString historyCopyFrom, historyCopyTo;
    bool historySync = false; // send the checks kept here for the server to it instead of checking
    bool scheduled = false; // run by a timer: a desktop notice tells what moved
    std::optional<QString> schedule; // set the project's schedule instead of checking
    bool listSchedules = false;
    QString enginesFile; // read the engines by the definitions of this file; empty: the usual sources
    QString checkEngines; // validate this definitions file instead of checking
    std::optional<int> yandexRegion; // --region: the Yandex region of this run over the project's
    SourceChoice sources; // --source ENGINE=CODE; empty codes: the definitions' first
};

struct UsageError {
    QString text;
};

extern const QString kCheckUsage;
extern const QString kCheckHelp; // --help: the usage, every option and the exit status

// Overwrites in place the bytes of every value given to --proxy-pass in the program's own
// argument vector, so that the process list no longer shows the password (as database clients
// do). Call it once the arguments have been copied: it changes what argv holds.
void hidePasswordArguments(int argc, char** argv);

// The first argument after the program name whose bytes do not come back unchanged from their
// text (a file name that is no valid UTF-8): such a name would reach no file, so it is refused.
std::optional<QByteArray> argumentThatIsNoText(int argc, char** argv);

// Reads the arguments after the program name.
std::variant<CheckArguments, UsageError> parseCheckArguments(const QStringList& arguments);
