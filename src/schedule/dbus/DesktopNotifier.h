#pragma once

#include "schedule/CheckNotice.h"

#include <QString>

// Sends a notice to the desktop's notification server (org.freedesktop.Notifications) over the
// session bus. Without a session bus or a server nothing is sent and nothing is said: a check
// run by a timer must not fail for want of a desktop.
class DesktopNotifier {
public:
    static constexpr int kTimeoutMs = 5000;

    // False when the notice did not reach a server; why, in the bus's words.
    bool send(const DesktopNotice& notice, QString* reason = nullptr) const;

    // The body with "&", "<" and ">" written as entities, for a server that reads markup.
    static QString markupEscaped(const QString& body);
};
