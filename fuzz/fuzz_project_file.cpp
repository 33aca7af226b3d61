// The project file reader on any file: it reads or refuses with EPropertiesStore, and what it
// reads, saved and read again, comes back the same.

#include "app/check/HeadlessControls.h"
#include "rank/lookup/EngineTable.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
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

bool sameInputs(const ProjectInputs& a, const ProjectInputs& b)
{
    return a.site == b.site && a.keywords == b.keywords && std::equal(a.checked, a.checked + 6, b.checked);
}

void saveInputs(const ProjectInputs& inputs, const QString& path)
{
    QObject frame;
    for (Engine engine : kEngines)
        new StoredCheck(QStringLiteral("CheckBox") + engineKey(engine), inputs.checked[int(engine)], &frame);
    for (int n = 1; n <= 7; ++n)
        (new StoredEdit(QStringLiteral("edKeyWord%1").arg(n), &frame))
            ->setProperty("text", inputs.keywords[n - 1]);
    (new StoredEdit(QStringLiteral("edWEB"), &frame))->setProperty("text", inputs.site);
    TcxPropertiesStore store(&frame);
    ProgramStores::declareProjectFileItems(store, &frame, engineKeys());
    ProgramStores::saveProject(store, path);
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
    ProjectInputs inputs;
    try {
        inputs = readProjectFile(path);
    } catch (const EPropertiesStore&) {
        return 0;
    }
    saveInputs(inputs, again);
    if (!sameInputs(readProjectFile(again), inputs))
        std::abort();
    return 0;
}
