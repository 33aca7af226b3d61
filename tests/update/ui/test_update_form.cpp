#include "update/ui/TfmUpDate.h"

#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "platform/UserSettings.h"
#include "support/RawHttpListener.h"
#include "support/SandboxEngines.h"
#include "support/ScriptedPrompts.h"
#include "support/WidgetInput.h"
#include "update/UpdateCheck.h"
#include "update/UpdateSchedule.h"
#include "update/UpdateSource.h"
#include "update/ui/CopyAnimation.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <utility>

namespace {

const QString kSandboxVersion = QStringLiteral("Wed, 03 Sep 2008 10:00:00 GMT");

// Scripted boxes that also note how the update form and the main window looked when each box
// came up.
class WatchingPrompts : public ScriptedPrompts {
public:
    struct Scene {
        bool formVisible;
        bool mainEnabled;
        bool animating;
        int progress;
        QString progressText;
    };
    TfmUpDate* form = nullptr;
    QWidget* mainWindow = nullptr;
    QList<Scene> scenes;

    void message(QWidget* parent, const QString& text) override
    {
        note();
        ScriptedPrompts::message(parent, text);
    }
    Button ask(QWidget* parent, const QString& text, Icon icon, int buttons, Button defaultButton) override
    {
        note();
        return ScriptedPrompts::ask(parent, text, icon, buttons, defaultButton);
    }

private:
    void note()
    {
        if (form)
            scenes << Scene { form->isVisible(), mainWindow->isEnabled(), form->Animate1->active(),
                form->pbProgress->value(), form->lblProgress->text() };
    }
};

QString storedCaption(const QString& component)
{
    return QSettings(UserSettings::location(), QSettings::IniFormat)
        .value(QStringLiteral("VerStore/") + component + QStringLiteral("/Caption"), QStringLiteral("<none>"))
        .toString();
}

class UpdateFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.started());
        ASSERT_TRUE(folder.isValid());
        Endpoints::setCurrent(Endpoints::fromFile(sandbox.endpointsFile()));
        QSettings(UserSettings::location(), QSettings::IniFormat).remove(QStringLiteral("VerStore"));
        auto owned = std::make_unique<WatchingPrompts>();
        prompts = owned.get();
        Prompts::install(std::move(owned));
        mainWindow.show();
        exe = folder.filePath(QStringLiteral("kestrova-sertrix"));
        QFile file(exe);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("old");
    }

    void TearDown() override
    {
        Prompts::install(nullptr);
        Endpoints::setCurrent(Endpoints::defaults());
    }

    std::unique_ptr<TfmUpDate> makeForm()
    {
        auto form = std::make_unique<TfmUpDate>(&mainWindow);
        form->setExecutablePath(exe);
        form->setScriptLauncher([this](const QString& script, QString*) {
            launched << script;
            return true;
        });
        form->setProgramEnd([this] { ++programEnds; });
        form->setDefinitionsFiles(definitionsFiles());
        prompts->form = form.get();
        prompts->mainWindow = &mainWindow;
        return form;
    }

    QString temp() const { return folder.filePath(QStringLiteral("~zltexe.tmp")); }

    DefinitionsFiles definitionsFiles() const
    {
        return DefinitionsFiles::in(
            folder.filePath(QStringLiteral("settings")), folder.filePath(QStringLiteral("data")));
    }

    bool publishDefinitions(const QByteArray& version)
    {
        return sandbox.command("definitions\n[definitions]\nVersion=" + version + "\n");
    }

    // The requests for the program's update file, without those for the engine definitions.
    QList<SandboxEngines::Request> programRequests() const
    {
        QList<SandboxEngines::Request> requests = sandbox.requests(QStringLiteral("Update"));
        requests.removeIf([](const auto& request) { return !request.target.startsWith("/zlt.upd"); });
        return requests;
    }

    // The served file and its signature beside the executable, as a complete download left them.
    void leaveSignedFile()
    {
        HttpClient client(HttpVersion::Http11);
        const UpdateSource source = UpdateSource::fromEndpoints(Endpoints::current());
        for (const auto& [path, url] : { std::pair { temp(), source.fileUrl },
                 std::pair { folder.filePath(QStringLiteral("~zltexe.sig")), source.signatureUrl } }) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(client.get(url));
        }
    }

    SandboxEngines sandbox;
    QTemporaryDir folder;
    QWidget mainWindow;
    QString exe;
    WatchingPrompts* prompts = nullptr;
    QStringList launched;
    int programEnds = 0;
};

} // namespace

TEST_F(UpdateFormTest, DownloadShowsTheFormOverTheDisabledMainWindowThenRestarts)
{
    auto form = makeForm();
    EXPECT_FALSE(form->isVisible());
    form->CheckForUpdate();

    ASSERT_EQ(prompts->shown.size(), 2u);
    const auto& question = prompts->shown[0];
    EXPECT_EQ(question.text, QStringLiteral("Доступна новая версия. Обновить?"));
    EXPECT_EQ(question.icon, Prompts::Icon::Information);
    EXPECT_EQ(question.buttons, int(Prompts::Button::Yes) | int(Prompts::Button::No));
    EXPECT_EQ(question.defaultButton, Prompts::Button::Yes);
    EXPECT_EQ(prompts->shown[1].kind, ScriptedPrompts::Shown::Message);
    EXPECT_EQ(prompts->shown[1].text,
        QStringLiteral(
            "Теперь необходимо перезапустить программу.\n\rПроизвести автоматический перезапуск."));

    // The restart box comes after the download display has closed.
    ASSERT_EQ(prompts->scenes.size(), 2);
    EXPECT_FALSE(prompts->scenes[1].formVisible);
    EXPECT_TRUE(prompts->scenes[1].mainEnabled);
    EXPECT_FALSE(prompts->scenes[1].animating);
    EXPECT_EQ(form->Animate1->frame(), CopyAnimation::StopFrame);

    EXPECT_EQ(form->lblVer->text(), kSandboxVersion);
    EXPECT_EQ(form->lblUpDate->text(), UpdateSchedule::formatDate(QDate::currentDate()));
    // Stored before the restart, not only at the end.
    EXPECT_EQ(storedCaption(QStringLiteral("lblVer")), QLatin1Char('"') + kSandboxVersion + QLatin1Char('"'));
    EXPECT_EQ(launched, QStringList { folder.filePath(QStringLiteral("~zlttmp.sh")) });
    EXPECT_TRUE(QFile::exists(launched.value(0)));
    EXPECT_EQ(programEnds, 1);
    EXPECT_TRUE(QFile::exists(temp()));
}

TEST_F(UpdateFormTest, RefusedDownloadIsAnErrorBoxShownDuringTheDownload)
{
    ASSERT_TRUE(sandbox.command("missing Update 1"));
    auto form = makeForm();
    form->CheckForUpdate();
    ASSERT_EQ(prompts->shown.size(), 2u);
    const auto& error = prompts->shown[1];
    EXPECT_EQ(error.text, QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее."));
    EXPECT_EQ(error.icon, Prompts::Icon::Error);
    EXPECT_EQ(error.buttons, int(Prompts::Button::Ok));

    ASSERT_EQ(prompts->scenes.size(), 2);
    const auto& during = prompts->scenes[1];
    EXPECT_TRUE(during.formVisible);
    EXPECT_FALSE(during.mainEnabled);
    EXPECT_TRUE(during.animating);
    const qint64 size = HttpClient(HttpVersion::Http11)
                            .get(UpdateSource::fromEndpoints(Endpoints::current()).fileUrl)
                            .size();
    EXPECT_EQ(during.progress, size);
    EXPECT_EQ(during.progressText, QStringLiteral("Получено %1 из %1 байт").arg(QLocale().toString(size)));

    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(form->lblVer->text().isEmpty());
    EXPECT_FALSE(QFile::exists(temp()));
    EXPECT_TRUE(launched.isEmpty());
    EXPECT_EQ(programEnds, 0);
}

TEST_F(UpdateFormTest, RememberedValuesAreRestoredAtCreationAndStoredAtDestruction)
{
    {
        auto form = makeForm();
        form->lblVer->setText(QStringLiteral("v \"1\" \\ x"));
        form->lblUpDate->setText(QStringLiteral("01.02.2026"));
    }
    EXPECT_EQ(storedCaption(QStringLiteral("lblVer")), QStringLiteral("\"v \"1\" \\ x\""));
    auto again = makeForm();
    EXPECT_EQ(again->lblVer->text(), QStringLiteral("v \"1\" \\ x"));
    EXPECT_EQ(again->lblUpDate->text(), QStringLiteral("01.02.2026"));
}

TEST_F(UpdateFormTest, EscapeOrClosingDuringTheDownloadCancelsIt)
{
    // The file's host answers HEAD and then never sends the file.
    RawHttpListener host([](const QByteArray& request) {
        if (!request.contains(" /zlt.upd ")) {
            RawHttpListener::Reply missing;
            missing.statusLine = "HTTP/1.1 404 Not Found";
            return missing;
        }
        if (request.startsWith("HEAD ")) {
            RawHttpListener::Reply head = RawHttpListener::ok(
                {}, { "Content-Length: 100000", "Last-Modified: Wed, 03 Sep 2008 10:00:00 GMT" });
            head.announceLength = false; // the length above is the file's, not this reply's
            return head;
        }
        RawHttpListener::Reply silent;
        silent.stall = true;
        return silent;
    });
    Endpoints endpoints = Endpoints::fromFile(sandbox.endpointsFile());
    endpoints.Update = QString::fromLatin1(host.hostPort());
    Endpoints::setCurrent(endpoints);

    for (const bool byEscape : { true, false }) {
        SCOPED_TRACE(byEscape ? "Escape" : "close");
        auto form = makeForm();
        bool shownDuringTheDownload = false;
        QTimer::singleShot(300, form.get(), [&] {
            shownDuringTheDownload = form->isVisible() && !mainWindow.isEnabled();
            if (byEscape)
                pressKey(form.get(), Qt::Key_Escape);
            else
                form->close();
        });
        form->CheckForUpdate();

        EXPECT_TRUE(shownDuringTheDownload);
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(mainWindow.isEnabled());
        EXPECT_EQ(prompts->texts(), QStringList { UpdateCheck::kQuestion }); // no error box
        EXPECT_TRUE(form->lblVer->text().isEmpty());
        EXPECT_FALSE(QFile::exists(temp()));
        EXPECT_TRUE(launched.isEmpty());
        prompts->clear();
    }
}

TEST_F(UpdateFormTest, WhileTheHostIsAskedTheFormSaysSoAndEscapeCancels)
{
    // The host takes the HEAD request of the program's file and never answers it.
    RawHttpListener host([](const QByteArray& request) {
        RawHttpListener::Reply reply;
        if (request.contains(" /zlt.upd "))
            reply.stall = true;
        else
            reply.statusLine = "HTTP/1.1 404 Not Found";
        return reply;
    });
    Endpoints endpoints = Endpoints::fromFile(sandbox.endpointsFile());
    endpoints.Update = QString::fromLatin1(host.hostPort());
    Endpoints::setCurrent(endpoints);
    auto form = makeForm();
    QString shown;
    QTimer::singleShot(300, form.get(), [&] {
        if (form->isVisible())
            shown = form->lblProgress->text();
        pressKey(form.get(), Qt::Key_Escape);
    });
    form->CheckForUpdate();
    EXPECT_EQ(shown, QStringLiteral("Проверка наличия обновлений..."));
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_TRUE(prompts->texts().isEmpty()) << prompts->texts().join(u'|').toStdString();
}

TEST_F(UpdateFormTest, TheRestartedProgramSaysOnceThatTheCopyFailed)
{
    leaveSignedFile();
    QFile note(folder.filePath(QStringLiteral("~zltfail.txt")));
    ASSERT_TRUE(note.open(QIODevice::WriteOnly));
    note.write("cp: No space left on device\n");
    note.close();
    auto form = makeForm();
    int checks = 0;
    form->runAutomaticCheck([&] { ++checks; });
    form->runAutomaticCheck([&] { ++checks; });

    ASSERT_EQ(prompts->shown.size(), 1u);
    EXPECT_EQ(prompts->shown[0].icon, Prompts::Icon::Error);
    EXPECT_EQ(prompts->shown[0].text,
        QStringLiteral("Ошибка при загрузке обновления! Попробуйте познее.\n"
                       "Обновление не удалось установить: cp: No space left on device"));
    EXPECT_FALSE(QFile::exists(temp()));
    EXPECT_FALSE(note.exists());
    EXPECT_TRUE(launched.isEmpty());
}

TEST_F(UpdateFormTest, TheUserCannotCloseTheForm)
{
    auto form = makeForm();
    form->show();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    form->hide();
}

TEST_F(UpdateFormTest, AutomaticCheckRunsAfterSevenDaysAndClearsItsFlag)
{
    auto form = makeForm();
    QList<bool> flags;
    const auto menuCheck = [&] { flags << form->autoCheck(); };

    form->runAutomaticCheck(menuCheck);
    EXPECT_EQ(form->lblUpDate->text(), UpdateSchedule::formatDate(QDate::currentDate()));
    EXPECT_TRUE(flags.isEmpty());

    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate().addDays(-6)));
    form->runAutomaticCheck(menuCheck);
    EXPECT_TRUE(flags.isEmpty());

    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate().addDays(-7)));
    form->runAutomaticCheck(menuCheck);
    EXPECT_EQ(flags, QList<bool> { true });
    EXPECT_FALSE(form->autoCheck());

    EXPECT_THROW(
        form->runAutomaticCheck([] { throw std::runtime_error("check failed"); }), std::runtime_error);
    EXPECT_FALSE(form->autoCheck());

    form->lblUpDate->setText(QStringLiteral("no date"));
    form->runAutomaticCheck(menuCheck);
    EXPECT_EQ(form->lblUpDate->text(), UpdateSchedule::formatDate(QDate::currentDate()));
    EXPECT_EQ(flags.size(), 1);
}

TEST_F(UpdateFormTest, AutomaticCheckOfAnUnchangedFileShowsNothing)
{
    auto form = makeForm();
    form->lblVer->setText(kSandboxVersion);
    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate().addDays(-30)));
    form->runAutomaticCheck([&] { form->CheckForUpdate(); });
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_EQ(programRequests().size(), 1);
}

TEST_F(UpdateFormTest, ConnectionSettingsOfTheSelectedProjectApplyToEachCheck)
{
    auto form = makeForm();
    form->lblVer->setText(kSandboxVersion);
    ConnectionSettings settings;
    settings.useProxy = true; // no server: direct, and the proxy's credentials stay home
    settings.port = QStringLiteral("8080");
    settings.user = QStringLiteral("user");
    settings.password = QStringLiteral("pass");
    form->setConnectionSource([&settings] { return settings; });
    form->CheckForUpdate();
    auto requests = programRequests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_FALSE(requests[0].head.contains("Proxy-Authorization"));

    settings.useProxy = false;
    form->CheckForUpdate();
    requests = programRequests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[1].head.contains("Proxy-Authorization"));

    settings.useProxy = true;
    settings.port = QStringLiteral("http");
    EXPECT_THROW(form->CheckForUpdate(), EConvertError);
    EXPECT_EQ(programRequests().size(), 2);
}

TEST_F(UpdateFormTest, ACheckAskedForDuringTheQuestionIsNotStartedOverTheRunningOne)
{
    auto form = makeForm();
    bool nested = false;
    class NestingPrompts : public ScriptedPrompts {
    public:
        std::function<void()> onAsk;
        Button ask(
            QWidget* parent, const QString& text, Icon icon, int buttons, Button defaultButton) override
        {
            if (onAsk)
                std::exchange(onAsk, nullptr)();
            return ScriptedPrompts::ask(parent, text, icon, buttons, defaultButton);
        }
    };
    auto owned = std::make_unique<NestingPrompts>();
    NestingPrompts* nesting = owned.get();
    nesting->onAsk = [&] {
        nested = true;
        form->CheckForUpdate();
    };
    nesting->answer(Prompts::Button::No);
    Prompts::install(std::move(owned));
    form->CheckForUpdate();
    EXPECT_TRUE(nested);
    EXPECT_EQ(nesting->texts(), QStringList { QStringLiteral("Доступна новая версия. Обновить?") });
    EXPECT_EQ(programRequests().size(), 1);
}

TEST_F(UpdateFormTest, AScriptThatCannotBeStartedIsAnErrorAndTheProgramGoesOn)
{
    auto form = makeForm();
    form->setScriptLauncher([](const QString&, QString* reason) {
        *reason = QStringLiteral("no shell");
        return false;
    });
    leaveSignedFile();
    form->lblVer->setText(kSandboxVersion);
    try {
        form->CheckForUpdate();
        FAIL() << "no error";
    } catch (const EUpdate& error) {
        EXPECT_NE(QString::fromUtf8(error.what()).indexOf(QStringLiteral("no shell")), -1);
    }
    EXPECT_FALSE(QFile::exists(folder.filePath(QStringLiteral("~zlttmp.sh"))));
    EXPECT_EQ(programEnds, 0);
}

TEST_F(UpdateFormTest, TheScriptWaitsForThisProcess)
{
    auto form = makeForm();
    leaveSignedFile();
    form->lblVer->setText(kSandboxVersion);
    form->CheckForUpdate();
    ASSERT_EQ(launched.size(), 1);
    QFile script(launched[0]);
    ASSERT_TRUE(script.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        script.readAll().contains("\npid=" + QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
}

TEST_F(UpdateFormTest, MenuCheckSaysBelowTheProgramsMessageThatNewDefinitionsWereInstalled)
{
    auto form = makeForm();
    form->lblVer->setText(kSandboxVersion);
    ASSERT_TRUE(publishDefinitions("9999.1"));
    form->CheckForUpdate();
    EXPECT_EQ(prompts->texts(),
        QStringList { QStringLiteral(
            "Обновление не требуется.\nОписания поисковых систем обновлены (версия 9999.1).") });
    EXPECT_TRUE(QFile::exists(definitionsFiles().downloadedFile));

    // Nothing new: the program's message alone.
    prompts->clear();
    form->CheckForUpdate();
    EXPECT_EQ(prompts->texts(), QStringList { QStringLiteral("Обновление не требуется.") });
}

TEST_F(UpdateFormTest, TheDefinitionsLineFollowsTheQuestionAboutANewVersion)
{
    auto form = makeForm();
    ASSERT_TRUE(publishDefinitions("9999.1"));
    prompts->answer(Prompts::Button::No);
    form->CheckForUpdate();
    EXPECT_EQ(prompts->texts(),
        QStringList { QStringLiteral(
            "Доступна новая версия. Обновить?\nОписания поисковых систем обновлены (версия 9999.1).") });
    // The definitions were fetched before the program's own file was asked for.
    const auto requests = sandbox.requests(QStringLiteral("Update"));
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_EQ(requests.first().target, "/engines.ini");
    EXPECT_EQ(requests.last().target, "/zlt.upd");
}

TEST_F(UpdateFormTest, ARefusedDefinitionsFileIsNoSuccessInTheMenuCheck)
{
    auto form = makeForm();
    form->lblVer->setText(kSandboxVersion);
    ASSERT_TRUE(publishDefinitions("9999.1"));
    ASSERT_TRUE(sandbox.command("missing Update 3"));
    form->CheckForUpdate();
    EXPECT_EQ(prompts->texts(),
        QStringList { QStringLiteral("Обновление не требуется.\nОписания поисковых систем не приняты: "
                                     "подпись файла не верна или её нет.") });
    EXPECT_FALSE(QFile::exists(definitionsFiles().downloadedFile));
}

TEST_F(UpdateFormTest, TheAutomaticCheckInstallsDefinitionsDailyWithoutAWord)
{
    auto form = makeForm();
    form->lblVer->setText(kSandboxVersion);
    ASSERT_TRUE(publishDefinitions("9999.1"));
    const auto menuCheck = [&] { form->CheckForUpdate(); };

    // The program's weekly check is due: one silent check of both.
    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate().addDays(-7)));
    form->runAutomaticCheck(menuCheck);
    EXPECT_TRUE(prompts->shown.empty()) << prompts->texts().join(u'|').toStdString();
    QString reason;
    const auto installed = DefinitionsSources::verifiedDownload(
        definitionsFiles(), UpdateSource::fromEndpoints(Endpoints::current()).publicKey, &reason);
    ASSERT_TRUE(installed) << reason.toStdString();
    EXPECT_EQ(installed->version, QStringLiteral("9999.1"));
    EXPECT_EQ(programRequests().size(), 1);

    // Not due for the program, and the definitions were asked for today: no request at all.
    sandbox.clearRequests();
    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate()));
    form->runAutomaticCheck(menuCheck);
    EXPECT_TRUE(sandbox.requests(QStringLiteral("Update")).isEmpty());
    EXPECT_TRUE(prompts->shown.empty());
}

TEST_F(UpdateFormTest, TheDailyDefinitionsCheckRunsWhenTheProgramsWeeklyOneIsNotDue)
{
    auto form = makeForm();
    ASSERT_TRUE(publishDefinitions("9999.1"));
    form->lblUpDate->setText(UpdateSchedule::formatDate(QDate::currentDate()));
    form->runAutomaticCheck([&] { form->CheckForUpdate(); });
    EXPECT_TRUE(prompts->shown.empty());
    EXPECT_TRUE(programRequests().isEmpty());
    EXPECT_TRUE(QFile::exists(definitionsFiles().downloadedFile));
    EXPECT_FALSE(form->autoCheck());
}

TEST_F(UpdateFormTest, EscapeDuringTheDefinitionsDownloadCancelsItAndTheProgramsCheckGoesOn)
{
    auto form = makeForm();
    form->lblVer->setText(kSandboxVersion);
    ASSERT_TRUE(publishDefinitions("9999.1"));
    ASSERT_TRUE(sandbox.command("status Update 200 1\nstall Update 1"));
    bool shown = false;
    QTimer::singleShot(300, form.get(), [&] {
        shown = form->isVisible() && !mainWindow.isEnabled();
        pressKey(form.get(), Qt::Key_Escape);
    });
    form->CheckForUpdate();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(mainWindow.isEnabled());
    EXPECT_EQ(prompts->texts(), QStringList { QStringLiteral("Обновление не требуется.") });
    EXPECT_FALSE(QFile::exists(definitionsFiles().downloadedFile));
}
