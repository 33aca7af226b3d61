#include "sources/SessionBus.h"

#include "support/StopProcess.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

namespace {

const char kTestPassword[] = "kestrova-test-keyring";

std::string text(const QString& value)
{
    return value.toStdString();
}

// The Secret Service answers and has its default collection, the unlocked login keyring.
bool keyringReady(const QString& address, QString* why)
{
    const QDBusMessage reply
        = callSecretService(address, QStringLiteral("ReadAlias"), { QStringLiteral("default") });
    if (reply.type() != QDBusMessage::ReplyMessage) {
        *why = reply.errorMessage();
        return false;
    }
    const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
    *why = path;
    return !path.isEmpty() && path != QLatin1String("/");
}

} // namespace

QDBusMessage callSecretService(const QString& address, const QString& method, const QVariantList& arguments)
{
    const QString name = QStringLiteral("secret-service-probe");
    QDBusMessage reply;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(address, name);
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.secrets"),
            QStringLiteral("/org/freedesktop/secrets"), QStringLiteral("org.freedesktop.Secret.Service"),
            method);
        call.setArguments(arguments);
        reply = bus.call(call);
    }
    QDBusConnection::disconnectFromBus(name);
    return reply;
}

namespace {

class BusEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_bus = std::make_unique<SessionBus>(keyringProcess());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toUtf8());
    }
    void TearDown() override { m_bus.reset(); }

private:
    std::unique_ptr<SessionBus> m_bus;
};

[[maybe_unused]] const auto* const registered = ::testing::AddGlobalTestEnvironment(new BusEnvironment);

} // namespace

bool keyringProcess()
{
    return QString::fromStdString(::testing::GTEST_FLAG(filter)).startsWith(QLatin1String("Keyring"));
}

SessionBus::SessionBus(bool withKeyring)
    : m_dir(QDir::tempPath() + QStringLiteral("/ks-bus-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder for the session bus");
    const QString config = m_dir.filePath("bus.conf");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the bus configuration");
    file.write(
        QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                       " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                       "<busconfig>\n"
                       "  <type>session</type>\n"
                       "  <listen>unix:dir=%1</listen>\n"
                       "  <auth>EXTERNAL</auth>\n"
                       "  <policy context=\"default\">\n"
                       "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                       "    <allow eavesdrop=\"true\"/>\n"
                       "    <allow own=\"*\"/>\n"
                       "  </policy>\n"
                       "</busconfig>\n")
            .arg(m_dir.path().toHtmlEscaped())
            .toUtf8());
    file.close();
    m_bus.setProgram(QStringLiteral("dbus-daemon"));
    m_bus.setArguments({ QStringLiteral("--config-file=") + config, QStringLiteral("--print-address"),
        QStringLiteral("--nofork") });
    m_bus.start();
    if (!m_bus.waitForStarted(10000))
        throw std::runtime_error("dbus-daemon did not start");
    while (!m_bus.canReadLine() && m_bus.waitForReadyRead(10000)) { }
    m_address = QString::fromUtf8(m_bus.readLine()).trimmed();
    if (m_address.isEmpty()) {
        const std::string errors = m_bus.readAllStandardError().toStdString();
        stopProcess(m_bus);
        throw std::runtime_error("dbus-daemon gave no address: " + errors);
    }
    if (withKeyring) {
        // A constructor that throws runs no destructor: nothing started may be left running.
        try {
            startKeyring();
        } catch (...) {
            stopProcess(m_keyring);
            stopProcess(m_bus);
            throw;
        }
    }
}

void SessionBus::startKeyring()
{
    const QString home = m_dir.filePath("home");
    const QString runtime = m_dir.filePath("run");
    QDir().mkpath(home + "/.local/share");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", m_address);
    environment.insert("HOME", home);
    environment.insert("XDG_DATA_HOME", home + "/.local/share");
    environment.insert("XDG_CONFIG_HOME", home + "/.config");
    environment.insert("XDG_RUNTIME_DIR", runtime);
    environment.remove("DISPLAY");
    m_keyring.setProcessEnvironment(environment);
    m_keyring.setProgram(QStringLiteral("gnome-keyring-daemon"));
    m_keyring.setArguments({ QStringLiteral("--foreground"), QStringLiteral("--components=secrets"),
        QStringLiteral("--unlock") });
    m_keyring.start();
    if (!m_keyring.waitForStarted(10000))
        throw std::runtime_error("gnome-keyring-daemon did not start");
    m_keyring.write(kTestPassword);
    m_keyring.waitForBytesWritten(10000);
    m_keyring.closeWriteChannel();
    QString why;
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (keyringReady(m_address, &why))
            return;
        if (m_keyring.state() != QProcess::Running)
            break;
        QThread::msleep(50);
    }
    throw std::runtime_error("gnome-keyring-daemon serves no Secret Service: " + text(why) + ' '
        + text(QString::fromUtf8(m_keyring.readAllStandardError())));
}

SessionBus::~SessionBus()
{
    stopProcess(m_keyring);
    stopProcess(m_bus);
}
