#pragma once

#include "net/ConnectionSettings.h"

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
};
