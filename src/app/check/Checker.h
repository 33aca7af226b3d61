#pragma once

#include "app/check/WriteLine.h"

#include <QStringList>

class QIODevice;

// Exit codes of kestrova-check.
// A stop asked for by SIGINT, SIGTERM or SIGHUP exits with kExitSignalBase + the signal's number.
enum CheckExit {
    kExitDone = 0,
    kExitError = 1,
    kExitUsage = 2,
    kExitNothingAnswered = 3,
    kExitSignalBase = 128,
    kExitInterrupted = 130
};

// The command-line check of one project file: the check of the start button, without a window.
// Results go to out (a table, or JSON with --json), progress and errors to err, both in UTF-8.
// Needs a QCoreApplication.
int runChecker(const QStringList& arguments, QIODevice& out, QIODevice& err);
