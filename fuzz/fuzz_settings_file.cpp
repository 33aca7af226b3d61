// The settings file of the earlier versions on any bytes: it is carried over into the settings or
// passed over, never fails the restore with anything but EPropertiesStore, and every text value it
// holds reads back from the settings unchanged.

#include "platform/RegExportReader.h"
#include "platform/UserSettings.h"
#include "store/ProgramStores.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

QTemporaryDir* g_dir = nullptr;
quint64 g_run = 0;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // In memory where the system has it: the target writes files at every input.
    g_dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
        ? new QTemporaryDir(QStringLiteral("/dev/shm/ks-fuzz-XXXXXX"))
        : new QTemporaryDir;
    return g_dir->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A folder of its own for every input: the settings of one input never meet another's.
    const QString config = g_dir->filePath(QStringLiteral("config-%1").arg(++g_run));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QDir().mkpath(config + QStringLiteral("/Tellvik/Kestrova Sertrix"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile file(config + QStringLiteral("/Tellvik/Kestrova Sertrix/PropertiesStore.reg"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(bytes);
    }
    try {
        ProgramStores::Connection connection;
        ProgramStores::restoreConnection(connection);
    } catch (const EPropertiesStore&) {
    }

    std::map<QString, QString> expected;
    for (const auto& [key, text] : readRegExport(bytes, QStringLiteral("PropertiesStore")))
        expected[key] = text;
    if (!expected.empty()) {
        const QSettings settings(UserSettings::location(), QSettings::IniFormat);
        for (const auto& [key, text] : expected) {
            if (settings.value(key).toString() != text)
                std::abort();
        }
    }
    QDir(config).removeRecursively();
    return 0;
}
