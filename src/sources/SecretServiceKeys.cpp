// GLib's headers name a member "signals", which Qt defines as a keyword: they come first.
#include <libsecret/secret.h>

#include "sources/SecretServiceKeys.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace {

const char kSchemaName[] = "ru.tellvik.KestrovaSertrix.SourceKey";
const char kKeyAttribute[] = "key";

const SecretSchema* keySchema()
{
    static const SecretSchema schema = [] {
        SecretSchema s {};
        s.name = kSchemaName;
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0].name = kKeyAttribute;
        s.attributes[0].type = SECRET_SCHEMA_ATTRIBUTE_STRING;
        return s;
    }();
    return &schema;
}

// Cancels the calls given its cancellable once the time-out has passed; libsecret's calls are
// synchronous, and this is what bounds them.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds timeout)
        : m_cancellable(g_cancellable_new())
        , m_timer([this, timeout] {
            std::unique_lock lock(m_mutex);
            if (!m_ended.wait_for(lock, timeout, [this] { return m_done; })) {
                m_expired = true;
                g_cancellable_cancel(m_cancellable);
            }
        })
    {
    }
    ~Deadline()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_ended.notify_all();
        m_timer.join();
        g_object_unref(m_cancellable);
    }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

    GCancellable* cancellable() const { return m_cancellable; }
    bool expired()
    {
        std::lock_guard lock(m_mutex);
        return m_expired;
    }

private:
    GCancellable* m_cancellable;
    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_done = false;
    bool m_expired = false;
    std::thread m_timer;
};

QString problemOf(GError* error, Deadline& deadline, std::chrono::milliseconds timeout)
{
    QString text;
    if (deadline.expired())
        text = QStringLiteral("служба хранения паролей (Secret Service) не ответила за %1")
                   .arg(timeout.count() % 1000 ? QStringLiteral("%1 мс").arg(timeout.count())
                                               : QStringLiteral("%1 с").arg(timeout.count() / 1000));
    else
        text = QStringLiteral("служба хранения паролей (Secret Service) не отвечает: %1")
                   .arg(error ? QString::fromUtf8(error->message) : QStringLiteral("нет ответа"));
    if (error)
        g_error_free(error);
    return text;
}

// The session bus is GLib's one connection for the whole process, and by default the process
// ends when that connection closes. The keyring is a convenience of this program: a bus that
// goes away must not end it. The connection is kept, so that libsecret takes the same one.
bool connectBus(GCancellable* cancellable, GError** error)
{
    static std::mutex mutex;
    static GDBusConnection* kept = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, cancellable, error);
    if (!bus)
        return false;
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    std::lock_guard lock(mutex);
    if (kept)
        g_object_unref(kept);
    kept = bus;
    return true;
}

void setProblem(QString* problem, const QString& text)
{
    if (problem)
        *problem = text;
}

// One call of the Secret Service within the time-out: the bus first, then the call, which says
// whether it did what it was asked; a failure's reason goes to problem.
bool callService(std::chrono::milliseconds timeout, QString* problem,
    const std::function<bool(GCancellable*, GError**)>& call)
{
    setProblem(problem, {});
    Deadline deadline(timeout);
    GError* error = nullptr;
    if (connectBus(deadline.cancellable(), &error) && call(deadline.cancellable(), &error) && !error)
        return true;
    setProblem(problem, problemOf(error, deadline, timeout));
    return false;
}

} // namespace

SecretServiceKeys::SecretServiceKeys(std::chrono::milliseconds timeout)
    : m_timeout(timeout)
{
}

std::optional<QString> SecretServiceKeys::lookup(KeyName name, QString* problem) const
{
    const QByteArray code = keyCode(name).toUtf8();
    gchar* secret = nullptr;
    const bool answered = callService(m_timeout, problem, [&](GCancellable* cancellable, GError** error) {
        secret = secret_password_lookup_sync(
            keySchema(), cancellable, error, kKeyAttribute, code.constData(), nullptr);
        return true;
    });
    std::optional<QString> value;
    if (answered && secret)
        value = QString::fromUtf8(secret);
    if (secret)
        secret_password_free(secret);
    return value;
}

bool SecretServiceKeys::store(KeyName name, const QString& value, QString* problem) const
{
    const QByteArray code = keyCode(name).toUtf8();
    const QByteArray label = QStringLiteral("Kestrova Sertrix: %1").arg(keyCaption(name)).toUtf8();
    QByteArray secret = value.toUtf8();
    const bool stored = callService(m_timeout, problem, [&](GCancellable* cancellable, GError** error) {
        return secret_password_store_sync(keySchema(), SECRET_COLLECTION_DEFAULT, label.constData(),
                   secret.constData(), cancellable, error, kKeyAttribute, code.constData(), nullptr)
            != FALSE;
    });
    secret.fill('\0');
    return stored;
}

bool SecretServiceKeys::clear(KeyName name, QString* problem) const
{
    const QByteArray code = keyCode(name).toUtf8();
    return callService(m_timeout, problem, [&](GCancellable* cancellable, GError** error) {
        secret_password_clear_sync(keySchema(), cancellable, error, kKeyAttribute, code.constData(), nullptr);
        return true;
    });
}
