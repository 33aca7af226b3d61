#include "AppFixture.h"

#include "support/ProjectFiles.h"
#include "support/WidgetInput.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>

void MainWindowTest::SetUp()
{
    ASSERT_TRUE(m_config.isValid());
    ASSERT_TRUE(m_files.isValid());
    m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    prompts = &ScriptedPrompts::install();
    auto recording = std::make_unique<RecordingDesktop>();
    desktop = recording.get();
    DesktopServices::install(std::move(recording));
}

void MainWindowTest::TearDown()
{
    Prompts::install(nullptr);
    DesktopServices::install(nullptr);
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

std::unique_ptr<TfmMain> MainWindowTest::openWindow()
{
    auto window = std::make_unique<TfmMain>();
    window->show();
    QApplication::processEvents();
    return window;
}

void MainWindowTest::type(QLineEdit* edit, const QString& text)
{
    typeText(edit, text);
}

QString MainWindowTest::writeProject(const QString& name, const QString& site, const QString& keyword1)
{
    const QString path = filePath(name);
    EXPECT_TRUE(writeProjectFile(path, { site, { keyword1 }, { "RamblerRu", "YandexRu" } }));
    return path;
}

QByteArray MainWindowTest::readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
