#include "StoreFixtures.h"

#include <QFile>

Project designProject()
{
    Project project;
    project.site = QStringLiteral("http://");
    return project;
}

void StoreTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configRoot().toLocal8Bit());
}

void StoreTest::TearDown()
{
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}
