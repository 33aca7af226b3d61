#include "update/SelfReplacement.h"
#include "update/UpdateFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes, QFile::Permissions permissions)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
    file.close();
    file.setPermissions(permissions);
}

bool waitFor(const std::function<bool()>& condition, int ms = 15000)
{
    const QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

// Folder names that would break or inject into a script that quoted them carelessly.
const char* const kHostileNames[] = {
    "with spaces",
    "it's \"quoted\"",
    "$HOME and $(touch injected) `touch injected`",
    "line\nbreak; rm -rf x",
    "back\\slash '\\'' end",
};

} // namespace

class ShellQuoting : public ::testing::TestWithParam<const char*> { };

TEST_P(ShellQuoting, TheShellReadsTheTextBackUnchanged)
{
    const QByteArray text = GetParam();
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"), QString::fromUtf8("printf %s " + SelfReplacement::shellQuoted(text)) });
    ASSERT_TRUE(shell.waitForFinished(10000));
    EXPECT_EQ(shell.readAllStandardOutput(), text);
}

INSTANTIATE_TEST_SUITE_P(HostileNames, ShellQuoting, ::testing::ValuesIn(kHostileNames));

TEST(SelfReplacement, ScriptWaitsForTheOldProgramThenReplacesAndStartsTheNewOne)
{
    QTemporaryDir base;
    ASSERT_TRUE(base.isValid());
    const QString folder = base.filePath(QString::fromUtf8("Kestrova $USER 'test' \"dir\" `id` $(id)"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const UpdateFiles files = UpdateFiles::beside(folder + QStringLiteral("/kestrova sertrix"));
    const QString started = base.filePath(QStringLiteral("started"));
    const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

    writeFile(files.ExeFileName, "#!/bin/sh\necho old > \"$KS_STARTED\"\n", executable);
    // The new program writes where it was started from and its first line proves its version.
    const QByteArray newProgram = "#!/bin/sh\nprintf 'new %s' \"$0\" > \"$KS_STARTED\"\n";
    writeFile(files.TempExeFileName, newProgram, executable);

    // The old program: a process that runs until the test ends it.
    QProcess old;
    old.start(QStringLiteral("sleep"), { QStringLiteral("60") });
    ASSERT_TRUE(old.waitForStarted());

    SelfReplacement::writeScript(files, old.processId());
    ASSERT_TRUE(QFile::exists(files.BatchFileName));
    qputenv("KS_STARTED", QFile::encodeName(started));
    QString reason;
    ASSERT_TRUE(SelfReplacement::startDetached(files.BatchFileName, &reason)) << reason.toStdString();
    qunsetenv("KS_STARTED");

    // Nothing is replaced while the old program runs.
    QThread::msleep(700);
    EXPECT_EQ(readAll(files.ExeFileName), "#!/bin/sh\necho old > \"$KS_STARTED\"\n");
    EXPECT_TRUE(QFile::exists(files.TempExeFileName));
    EXPECT_FALSE(QFile::exists(started));

    old.kill();
    old.waitForFinished();

    ASSERT_TRUE(waitFor([&] { return readAll(started).startsWith("new "); }));
    EXPECT_EQ(readAll(started), "new " + QFile::encodeName(files.ExeFileName));
    EXPECT_EQ(readAll(files.ExeFileName), newProgram);
    EXPECT_TRUE(QFile::permissions(files.ExeFileName) & QFile::ExeOwner);
    EXPECT_FALSE(QFile::exists(files.TempExeFileName));
    EXPECT_TRUE(waitFor([&] { return !QFile::exists(files.BatchFileName); }));
    // Nothing in the folder names ran: no file was created by a substitution.
    EXPECT_FALSE(QFile::exists(QStringLiteral("injected")));
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList { QStringLiteral("kestrova sertrix") });
}

TEST(SelfReplacement, FailedCopyKeepsTheNewFileAndStartsTheOldProgram)
{
    QTemporaryDir base;
    const UpdateFiles files = UpdateFiles::beside(base.filePath(QStringLiteral("program")));
    const QString started = base.filePath(QStringLiteral("started"));
    const QFile::Permissions executable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    writeFile(files.ExeFileName, "#!/bin/sh\necho old > \"$KS_STARTED\"\n", executable);
    // A folder in the way of the copy makes it fail.
    ASSERT_TRUE(QDir().mkpath(files.ExeFileName + QStringLiteral(".new/x")));
    writeFile(files.TempExeFileName, "#!/bin/sh\necho new > \"$KS_STARTED\"\n", executable);

    const QByteArray script = SelfReplacement::scriptText(files, 999999999);
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KS_STARTED"), started);
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), QString::fromUtf8(script) });
    ASSERT_TRUE(shell.waitForFinished(10000));

    // The started program's shell makes the file before it writes the line: wait for the line.
    ASSERT_TRUE(waitFor([&] { return readAll(started).endsWith("\n"); }));
    EXPECT_EQ(readAll(started), "old\n");
    EXPECT_TRUE(QFile::exists(files.TempExeFileName));
    // The restarted program learns why from the failure note, in the words of the tool that failed
    // (the copy went into the folder in the way, the rename over the program could not).
    const QByteArray note = readAll(files.FailureFileName);
    EXPECT_TRUE(note.startsWith("mv: ")) << note.constData();
    EXPECT_TRUE(note.endsWith("\n"));
}
