#pragma once

#include <QString>

// What the update check needs from its form: the boxes, the download display, the two
// remembered values and the hand-over to the self-replacement.
class UpdateHost {
public:
    virtual ~UpdateHost() = default;

    // A plain box with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // A box with the error icon and an OK button.
    virtual void showError(const QString& text) = 0;
    // A box with the information icon, Yes and No, Yes the default; true for Yes.
    virtual bool askYesNo(const QString& text) = 0;

    // While the host is asked whether there is an update (from the menu): the user sees it is
    // being asked, and cancels with Escape.
    virtual void askingStarted() = 0;
    virtual void askingEnded() = 0;

    virtual void downloadStarted() = 0;
    // total is the announced length of the file.
    virtual void downloadProgress(qint64 received, qint64 total) = 0;
    // Runs however the download ended, also when it failed with an error.
    virtual void downloadEnded() = 0;

    // lblVer: the "Last-Modified" text of the last complete download.
    virtual QString storedVersion() const = 0;
    // lblVer and lblUpDate after a complete download.
    virtual void setStored(const QString& version, const QString& dateText) = 0;
    // Writes the remembered values (StoreProperties(true)).
    virtual void storeRemembered() = 0;

    // Writes and starts the replacing script and ends the program.
    virtual void installUpdate() = 0;
};
