// The per-user settings reader on any file in the place of the connection settings: it reads or
// refuses with EPropertiesStore, and every key and value it reads, written to another folder and
// read again, comes back the same.

#include "platform/XdgRegistry.h"
#include "store/ProgramStores.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

const QString kKey = QStringLiteral("Tellvik\\Kestrova Sertrix\\PropertiesStore");

QTemporaryDir* g_dir = nullptr;

struct Tree {
    std::map<QString, std::map<QString, QString>> values; // by lower-case key path
};

void walk(Registry& registry, const QString& key, Tree& tree, int depth)
{
    if (depth > 64)
        return;
    auto& values = tree.values[key.toLower()];
    for (const QString& name : registry.listValueNames(key)) {
        const auto value = registry.readString(key, name);
        if (!value)
            std::abort();
        values[name.toLower()] = *value;
    }
    for (const QString& child : registry.subkeys(key))
        walk(registry, key + u'\\' + child, tree, depth + 1);
}

void copy(Registry& from, Registry& to, const QString& key, int depth)
{
    if (depth > 64)
        return;
    if (!to.createKey(key))
        std::abort();
    for (const QString& name : from.listValueNames(key))
        if (!to.writeString(key, name, *from.readString(key, name)))
            std::abort();
    for (const QString& child : from.subkeys(key))
        copy(from, to, key + u'\\' + child, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // In memory where the system has it: the target writes a file at every input.
    g_dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
        ? new QTemporaryDir(QStringLiteral("/dev/shm/ks-fuzz-XXXXXX"))
        : new QTemporaryDir;
    if (!g_dir->isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(g_dir->filePath(QStringLiteral("config"))));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString config = g_dir->filePath(QStringLiteral("config"));
    const QString copied = g_dir->filePath(QStringLiteral("copied"));
    QDir(copied).removeRecursively();
    QDir().mkpath(config + QStringLiteral("/Tellvik/Kestrova Sertrix"));
    {
        QFile file(config + QStringLiteral("/Tellvik/Kestrova Sertrix/PropertiesStore.reg"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    try {
        ProgramStores::Connection connection;
        ProgramStores::restoreConnection(connection);
    } catch (const EPropertiesStore&) {
    }

    XdgRegistry read(config);
    if (!read.keyExists(kKey))
        return 0;
    Tree before;
    walk(read, kKey, before, 0);
    {
        XdgRegistry target(copied);
        copy(read, target, kKey, 0);
        if (!target.flush())
            std::abort();
    }
    XdgRegistry reread(copied);
    Tree after;
    walk(reread, kKey, after, 0);
    if (before.values != after.values)
        std::abort();
    return 0;
}
