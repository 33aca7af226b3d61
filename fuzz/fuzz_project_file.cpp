// The project file reader on any file: it reads or refuses with EPropertiesStore, and what it
// reads, saved and read again, comes back the same.

#include "rank/project/Project.h"
#include "store/ProgramStores.h"
#include "store/StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir* g_dir = nullptr;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // In memory where the system has it: the target writes a file at every input.
    g_dir = QFileInfo(QStringLiteral("/dev/shm")).isWritable()
        ? new QTemporaryDir(QStringLiteral("/dev/shm/ks-fuzz-XXXXXX"))
        : new QTemporaryDir;
    return g_dir->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = g_dir->filePath(QStringLiteral("p.zlt"));
    const QString again = g_dir->filePath(QStringLiteral("q.zlt"));
    writeFile(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    Project project;
    try {
        project = ProgramStores::readProjectFile(path);
    } catch (const EPropertiesStore&) {
        return 0;
    }
    ProgramStores::saveProject(project, again);
    if (ProgramStores::readProjectFile(again) != project)
        std::abort();
    return 0;
}
