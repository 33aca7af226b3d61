#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& path)
{
    return QFile::encodeName(path);
}

struct NodeInfo {
    mode_t type = 0;
    dev_t device = 0;
    ino_t inode = 0;
};

NodeInfo nodeInfo(const QString& path)
{
    struct stat info { };
    if (::lstat(encoded(path).constData(), &info) != 0)
        return {};
    return { mode_t(info.st_mode & S_IFMT), info.st_rdev, info.st_ino };
}

class SafeFileOutput : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }

    void expectRefusedAndUntouched(const QString& target, const QString& node, const QString& said)
    {
        const NodeInfo before = nodeInfo(node);
        QString reason;
        EXPECT_FALSE(SafeFile::replace(target, "report", &reason));
        EXPECT_EQ(reason, said);
        const NodeInfo after = nodeInfo(node);
        EXPECT_EQ(after.type, before.type);
        EXPECT_EQ(after.device, before.device);
        EXPECT_EQ(after.inode, before.inode);
        EXPECT_EQ(QDir(m_dir.path())
                      .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden)
                      .size(),
            m_entries);
    }

    QTemporaryDir m_dir;
    int m_entries = 1;
};

TEST_F(SafeFileOutput, AFifoIsRefusedAndLeftAsItIs)
{
    const QString fifo = path(QStringLiteral("out.xlsx"));
    ASSERT_EQ(::mkfifo(encoded(fifo).constData(), 0600), 0);
    expectRefusedAndUntouched(
        fifo, fifo, QStringLiteral("Это канал (FIFO), а не обычный файл; он оставлен как есть."));
}

TEST_F(SafeFileOutput, AFifoBehindASymbolicLinkIsRefusedAndTheLinkKept)
{
    const QString fifo = path(QStringLiteral("pipe"));
    const QString link = path(QStringLiteral("out.csv"));
    ASSERT_EQ(::mkfifo(encoded(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, link));
    m_entries = 2;
    expectRefusedAndUntouched(
        link, fifo, QStringLiteral("Это канал (FIFO), а не обычный файл; он оставлен как есть."));
    EXPECT_EQ(nodeInfo(link).type, mode_t(S_IFLNK));
}

TEST_F(SafeFileOutput, ADeviceNodeIsRefusedAndLeftAsItIs)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "a device node can only be made by root";
    // A node of its own with the numbers of /dev/null, never /dev/null itself.
    const QString device = path(QStringLiteral("null"));
    ASSERT_EQ(::mknod(encoded(device).constData(), S_IFCHR | 0666, makedev(1, 3)), 0);
    expectRefusedAndUntouched(
        device, device, QStringLiteral("Это устройство, а не обычный файл; оно оставлено как есть."));
}

TEST_F(SafeFileOutput, AFolderIsRefused)
{
    const QString folder = path(QStringLiteral("out.xlsx"));
    ASSERT_TRUE(QDir().mkdir(folder));
    QString reason;
    EXPECT_FALSE(SafeFile::replace(folder, "report", &reason));
    EXPECT_EQ(reason, QStringLiteral("Это папка, а не обычный файл; она оставлена как есть."));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(SafeFileOutput, ARegularFileAndOneBehindALinkAreReplaced)
{
    const QString file = path(QStringLiteral("report.xlsx"));
    const QString link = path(QStringLiteral("latest.xlsx"));
    ASSERT_TRUE(SafeFile::replace(file, "old", nullptr));
    ASSERT_TRUE(QFile::link(file, link));
    QString reason;
    ASSERT_TRUE(SafeFile::replace(link, "new", &reason)) << reason.toStdString();
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "new");
    EXPECT_EQ(nodeInfo(link).type, mode_t(S_IFLNK));
}

TEST_F(SafeFileOutput, AFileThatCannotBeMadeSaysWhyInRussian)
{
    QString reason;
    EXPECT_FALSE(SafeFile::replace(path(QStringLiteral("missing/report.xlsx")), "report", &reason));
    EXPECT_EQ(reason, QStringLiteral("Нет такого файла или папки."));
}

} // namespace
