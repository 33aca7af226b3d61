#include "sources/KeyTesting.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class KeyFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        forgetEnvironmentAndFile();
        QDir().mkpath(QFileInfo(KeyFile::path()).absolutePath());
    }
    void TearDown() override { forgetEnvironmentAndFile(); }
};

TEST_F(KeyFileTest, KeysAreWrittenForTheUserAloneAndReadBack)
{
    QString problem;
    ASSERT_TRUE(KeyFile::write({ "AQVN-key", "b1g-folder", "" }, &problem)) << problem.toStdString();
    EXPECT_EQ(keyFileMode(), 0600);
    EXPECT_EQ(keyFileBytes(),
        "# Kestrova Sertrix: keys of the result sources, readable by this user alone\n"
        "yandex-api-key=AQVN-key\n"
        "yandex-folder-id=b1g-folder\n");
    const auto keys = KeyFile::read(&problem);
    ASSERT_TRUE(keys);
    EXPECT_EQ(keys->yandexApiKey, "AQVN-key");
    EXPECT_EQ(keys->yandexFolderId, "b1g-folder");
    EXPECT_EQ(keys->serpApiKey, "");
}

TEST_F(KeyFileTest, AFileOthersMayReadOrWriteIsRefused)
{
    const QString path = KeyFile::path();
    const struct {
        mode_t mode;
        QString reason;
    } rows[] = {
        { 0640,
            QStringLiteral("его могут прочитать другие пользователи; выполните: chmod 600 '%1'").arg(path) },
        { 0604,
            QStringLiteral("его могут прочитать другие пользователи; выполните: chmod 600 '%1'").arg(path) },
        { 0620,
            QStringLiteral("Его могут изменить другие пользователи; выполните: chmod go-w '%1'").arg(path) },
    };
    for (const auto& row : rows) {
        QString problem;
        ASSERT_TRUE(KeyFile::write({ "AQVN-key", "", "" }, &problem));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), row.mode), 0);
        EXPECT_FALSE(KeyFile::read(&problem)) << row.mode;
        EXPECT_EQ(problem, QStringLiteral("Файл ключей %1 не прочитан: %2").arg(path, row.reason))
            << row.mode;
        QFile::remove(path);
    }
}

TEST_F(KeyFileTest, OnlyARegularFileIsWrittenOver)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(KeyFile::path()).constData(), 0600), 0);
    QString problem;
    EXPECT_FALSE(KeyFile::write({ "AQVN-key", "", "" }, &problem));
    EXPECT_TRUE(problem.startsWith(QStringLiteral("Не удалось записать файл ключей")))
        << problem.toStdString();
    EXPECT_FALSE(KeyFile::read(&problem));
    EXPECT_TRUE(QFileInfo(KeyFile::path()).exists());
    EXPECT_FALSE(QFileInfo(KeyFile::path()).isFile());
}

TEST(KeyNameTest, AKeyIsPrintableAsciiOfBoundedLength)
{
    const struct {
        QString value;
        QString problem;
    } rows[] = {
        { "AQVNxx_-.~", "" },
        { "", "ключ SERP JSON API пуст" },
        { "a b", "ключ SERP JSON API содержит пробел, управляющий или не латинский знак" },
        { "a\nb", "ключ SERP JSON API содержит пробел, управляющий или не латинский знак" },
        { "ключ", "ключ SERP JSON API содержит пробел, управляющий или не латинский знак" },
        { QString(1025, u'k'), "ключ SERP JSON API длиннее 1024 знаков" },
    };
    for (const auto& row : rows)
        EXPECT_EQ(keyProblem(KeyName::SerpApiKey, row.value), row.problem) << row.value.toStdString();
}

} // namespace
