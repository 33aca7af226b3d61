#pragma once

#include "net/ConnectionSettings.h"
#include "rank/api/SourceChoice.h"
#include "rank/api/SourceKeys.h"

#include <QString>

// What differs between the window and the command-line checker while a project is checked: where
// the connection settings come from and how the user is told.
class RunHost {
public:
    virtual ~RunHost() = default;

    virtual ConnectionSettings connectionSettings() const = 0; // read afresh at every use
    virtual void showMessage(const QString& text) = 0; // plain box: no icon, OK button
    virtual void showError(const QString& text) = 0; // the standard error box
    // Whether the elapsed time is shown while the check runs; else it is worked out at its end.
    virtual bool showsClock() const { return true; }
    // The sources the check takes its results from: the user's choice (none: the definitions'
    // first), and whether the check is a scheduled one (the deferred mode of an API is for those).
    virtual SourceChoice sourceChoice() const { return {}; }
    virtual bool scheduledCheck() const { return false; }
    // The keys of the API sources; asked only by a check that will spend API requests, so that a
    // check by pages never wakes the keyring.
    virtual SourceKeys sourceKeys() const { return {}; }
};
