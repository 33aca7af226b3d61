#include "support/CheckerProgram.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A copy of the checker in a folder whose name is no valid UTF-8 still finds its own file.
TEST(ProgramPath, VersionIsReadInAFolderWhoseNameIsNoValidText)
{
    QTemporaryDir dir;
    QProcess shell;
    // The shell makes the folder from raw bytes, which no QString can name.
    shell.start(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"),
            QStringLiteral(
                "d=\"$1/$(printf 'inst\\377\\376')\" && mkdir \"$d\" && cp \"$2\" \"$d/kestrova-check\" "
                "&& exec \"$d/kestrova-check\" --version"),
            QStringLiteral("sh"), dir.path(), checkerProgram() });
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().constData();
    EXPECT_EQ(shell.readAllStandardOutput(),
        QByteArray(KS_EXPECTED_FILE_VERSION "\nописания поисковиков 2026.12.7 (built-in)\n"));
}

// A project file whose name is no valid UTF-8 is refused by name, not taken for a missing file.
TEST(ProgramPath, AnArgumentThatIsNoValidTextIsRefusedClearly)
{
    QTemporaryDir dir;
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"),
        { QStringLiteral("-c"),
            QStringLiteral("f=\"$1/$(printf 'site\\377.zlt')\" && : > \"$f\" && exec \"$2\" \"$f\""),
            QStringLiteral("sh"), dir.path(), checkerProgram() });
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitCode(), 2);
    const QByteArray err = shell.readAllStandardError();
    EXPECT_TRUE(err.contains("site%FF.zlt\" — не текст в UTF-8; дайте файлу имя в UTF-8\n"))
        << err.constData();
    EXPECT_FALSE(err.contains("Нет такого файла")) << err.constData();
}
