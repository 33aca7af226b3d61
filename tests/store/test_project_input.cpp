#include "rank/project/Project.h"
#include "store/ProgramStores.h"
#include "store/StoreError.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string readError(const QString& path)
{
    try {
        ProgramStores::readProjectFile(path);
    } catch (const EPropertiesStore& e) {
        return e.what();
    }
    return "read";
}

} // namespace

TEST(ProjectInput, FifoIsRefusedWithoutWaitingForAWriter)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.zlt");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(readError(fifo), "Cannot open file \"" + fifo.toStdString() + "\". Это не обычный файл.");
}

TEST(ProjectInput, MissingFileIsAnError)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath("missing.zlt");
    EXPECT_EQ(readError(missing),
        "Cannot open file \"" + missing.toStdString() + "\". Нет такого файла или папки.");
}
