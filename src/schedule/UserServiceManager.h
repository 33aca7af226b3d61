#pragma once

#include <QString>
#include <QStringList>

// The user's systemd service manager, reached through systemctl --user. Every call waits at most
// kTimeoutMs.
class UserServiceManager {
public:
    static constexpr int kTimeoutMs = 30000;

    explicit UserServiceManager(const QString& systemctl = QStringLiteral("systemctl"));

    // Whether a user service manager answers; when not, why in systemctl's words.
    bool available(QString* reason) const;
    // Throw ScheduleError with systemctl's message.
    void reload() const;
    void enableNow(const QString& unit) const;
    void disableNow(const QString& unit) const;
    void restart(const QString& unit) const;

private:
    // systemctl's exit code, -1 when it could not be run or did not end in time.
    int run(const QStringList& arguments, QString* output) const;
    void runOrThrow(const QStringList& arguments) const;

    QString m_systemctl;
};
