#pragma once

#include "update/UpdateHost.h"

#include <QStringList>
#include <deque>

// Answers the update check's question from a script and records what the check showed and did.
class RecordingUpdateHost : public UpdateHost {
public:
    std::deque<bool> answers; // Yes when empty
    QStringList messages; // plain boxes
    QStringList errors; // boxes with the error icon
    QStringList questions;
    int asks = 0;
    int asksEnded = 0;
    int downloads = 0;
    int downloadsEnded = 0;
    qint64 lastReceived = -1;
    qint64 lastTotal = -1;
    int progressCalls = 0;
    QString version; // lblVer
    QString dateText; // lblUpDate
    int stores = 0;
    int installs = 0;

    void showMessage(const QString& text) override { messages << text; }
    void showError(const QString& text) override { errors << text; }
    bool askYesNo(const QString& text) override
    {
        questions << text;
        if (answers.empty())
            return true;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void askingStarted() override { ++asks; }
    void askingEnded() override { ++asksEnded; }
    void downloadStarted() override { ++downloads; }
    void downloadProgress(qint64 received, qint64 total) override
    {
        ++progressCalls;
        lastReceived = received;
        lastTotal = total;
    }
    void downloadEnded() override { ++downloadsEnded; }
    QString storedVersion() const override { return version; }
    void setStored(const QString& newVersion, const QString& newDate) override
    {
        version = newVersion;
        dateText = newDate;
    }
    void storeRemembered() override { ++stores; }
    void installUpdate() override { ++installs; }
};
