#pragma once

#include "app/ui/TfmMain.h"
#include "platform/ui/DesktopServices.h"
#include "support/ScriptedPrompts.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class QLineEdit;

// Records what would have been opened with the desktop's default handler.
class RecordingDesktop : public DesktopServices {
public:
    bool openUrl(const QString& url) override
    {
        urls << url;
        return true;
    }
    bool openFile(const QString& path) override
    {
        files << path;
        return opens;
    }
    QStringList urls;
    QStringList files;
    bool opens = true; // false: no program on the desktop opens a file of its kind
};

// A main window with scripted boxes and dialogs, and the per-user registry in a temporary folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<TfmMain> openWindow();
    // Key presses into an edit, as the user types them.
    static void type(QLineEdit* edit, const QString& text);
    // A project file as the program writes it: site, keyword 1, Yandex.ru and Rambler.ru checked.
    QString writeProject(const QString& name, const QString& site, const QString& keyword1);
    QString filePath(const QString& name) const { return m_files.filePath(name); }
    QString configRoot() const { return m_config.path(); }
    static QByteArray readFile(const QString& path);

    ScriptedPrompts* prompts = nullptr;
    RecordingDesktop* desktop = nullptr;

private:
    QTemporaryDir m_config;
    QTemporaryDir m_files;
    QByteArray m_savedConfigHome;
    bool m_hadConfigHome = false;
};
