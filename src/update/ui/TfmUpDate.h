#pragma once

#include "net/ConnectionSettings.h"
#include "update/DefinitionsSources.h"
#include "update/UpdateFiles.h"
#include "update/UpdateHost.h"

#include <QWidget>
#include <functional>
#include <memory>

class CopyAnimation;
class HttpClient;
class QLabel;
class QProgressBar;
class TcxPropertiesStore;
struct UpdateSource;

// The update form: hidden until a download runs; it owns the update check and the delivery of the
// engine definitions, its HTTP client, the download display and the two remembered values of the
// last complete download.
class TfmUpDate : public QWidget, private UpdateHost {
    Q_OBJECT
public:
    using ScriptLauncher = std::function<bool(const QString& scriptPath, QString* reason)>;

    // Centred on the main window, which is disabled while a download runs.
    explicit TfmUpDate(QWidget* mainWindow);
    ~TfmUpDate() override;

    QLabel* Label1 = nullptr;
    CopyAnimation* Animate1 = nullptr;
    QProgressBar* pbProgress = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* lblVer = nullptr; // invisible: "Last-Modified" of the last complete download
    QLabel* lblUpDate = nullptr; // invisible: its date in the short date format
    std::unique_ptr<HttpClient> HTTP;
    TcxPropertiesStore* cxPropertiesStore1 = nullptr;

    // The connection settings of the project on the selected tab, read before each check.
    void setConnectionSource(std::function<ConnectionSettings()> source);
    // Ends the program without the exit questions; by default the event loop is left.
    void setProgramEnd(std::function<void()> end);
    // The running executable unless set (tests replace a copy in a folder of their own).
    void setExecutablePath(const QString& path);
    // SelfReplacement::startDetached unless set.
    void setScriptLauncher(ScriptLauncher launcher);

    // The standard files in the data folder unless set (tests use a folder of their own).
    void setDefinitionsFiles(const DefinitionsFiles& files);

    // The engine definitions first, so that a restart into a new program does not skip them,
    // then the program's own update. From the menu, the first box shown carries one more line
    // about the definitions when there is something to say.
    void CheckForUpdate();
    void InstallUpdate();
    void SetAutoCheck(bool autoCheck);
    bool autoCheck() const { return FAutoCheck; }

    // The automatic trigger of the main window's one-shot timer: settles the stored date, and
    // runs menuCheck as the automatic check when seven days or more have passed. First it says
    // once when the replacement it was restarted by could not copy the new file.
    void runAutomaticCheck(const std::function<void()>& menuCheck);

protected:
    // Closing the form or Escape during a download cancels it; the form hides itself after.
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void restoreRemembered();
    bool FormCloseQuery();
    void HTTPWork();
    QWidget* boxParent();
    void applyConnectionSettings();
    // Runs the definitions update; from the menu, keeps its line for the next box.
    void checkDefinitions(const UpdateSource& source);
    QString withDefinitionsLine(const QString& text);

    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    bool askYesNo(const QString& text) override;
    void askingStarted() override;
    void askingEnded() override { downloadEnded(); }
    void downloadStarted() override;
    void downloadProgress(qint64 received, qint64 total) override;
    void downloadEnded() override;
    QString storedVersion() const override;
    void setStored(const QString& version, const QString& dateText) override;
    void storeRemembered() override;
    void installUpdate() override { InstallUpdate(); }

    QWidget* m_mainWindow;
    std::function<ConnectionSettings()> m_connectionSource;
    std::function<void()> m_programEnd;
    ScriptLauncher m_launcher;
    QString m_executablePath;
    UpdateFiles m_files;
    DefinitionsFiles m_definitionsFiles;
    QString m_definitionsLine; // not shown yet
    bool FAutoCheck = false;
    bool m_checking = false;
    bool m_downloading = false;
};
