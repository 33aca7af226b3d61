// Run with --gtest_filter=SilentKeyring*: the process's private bus has no keyring until the test
// puts a silent one on it.
#include "sources/KeyTesting.h"
#include "sources/SecretServiceKeys.h"
#include "sources/SourceKeyStore.h"

#include <QDBusConnection>
#include <QDBusVirtualObject>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

namespace {

// Takes every call to the Secret Service and never answers one, as a hung keyring would.
class SilentService : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage&, const QDBusConnection&) override
    {
        ++calls;
        return true;
    }
    std::atomic<int> calls = 0;
};

TEST(SilentKeyringTest, AKeyringThatNeverAnswersCountsAsNoneAndIsAskedOnce)
{
    ASSERT_FALSE(keyringProcess());
    forgetEnvironmentAndFile();
    const QString name = QStringLiteral("silent");
    {
        QDBusConnection bus
            = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), name);
        SilentService silent;
        ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/secrets", &silent, QDBusConnection::SubPath));
        // Its calls are delivered in its own thread: the test's thread waits in libsecret.
        QThread thread;
        silent.moveToThread(&thread);
        thread.start();
        ASSERT_TRUE(bus.registerService("org.freedesktop.secrets"));

        const SecretServiceKeys keyring(std::chrono::milliseconds(300));
        const QString expected
            = QStringLiteral("служба хранения паролей (Secret Service) не ответила за 300 мс");
        QString problem;
        EXPECT_FALSE(keyring.lookup(KeyName::YandexApiKey, &problem));
        EXPECT_EQ(problem, expected);
        EXPECT_FALSE(keyring.store(KeyName::YandexApiKey, "key", &problem));
        EXPECT_EQ(problem, expected);
        const int oneCall = silent.calls.exchange(0);
        EXPECT_GT(oneCall, 0);
        EXPECT_FALSE(keyring.lookup(KeyName::YandexApiKey, &problem));
        const int oneLookup = silent.calls.exchange(0);

        const FoundKeys found = SourceKeyStore(std::chrono::milliseconds(300)).load();
        EXPECT_FALSE(found.keyringAnswered);
        EXPECT_EQ(found.keyringProblem, expected);
        EXPECT_EQ(silent.calls.load(), oneLookup); // not once a key
        bus.unregisterService("org.freedesktop.secrets");
        bus.unregisterObject("/org/freedesktop/secrets", QDBusConnection::UnregisterTree);
        thread.quit();
        thread.wait();
    }
    QDBusConnection::disconnectFromBus(name);
}

} // namespace
