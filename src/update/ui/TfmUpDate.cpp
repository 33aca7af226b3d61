#include "update/ui/TfmUpDate.h"

#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "platform/ProgramFile.h"
#include "platform/ui/Prompts.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
#include "update/DefinitionsUpdate.h"
#include "update/SelfReplacement.h"
#include "update/UpdateCheck.h"
#include "update/UpdateSchedule.h"
#include "update/UpdateSource.h"
#include "update/ui/CopyAnimation.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <utility>

namespace {

template <typename Reset> class ScopeExit {
public:
    explicit ScopeExit(Reset reset)
        : m_reset(std::move(reset))
    {
    }
    ~ScopeExit() { m_reset(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Reset m_reset;
};

} // namespace

TfmUpDate::TfmUpDate(QWidget* mainWindow)
    : QWidget(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_mainWindow(mainWindow)
    , m_launcher(&SelfReplacement::startDetached)
    , m_executablePath(ProgramFile::path())
    , m_definitionsFiles(DefinitionsFiles::standard())
{
    setObjectName(QStringLiteral("fmUpDate"));
    setWindowTitle(QString());

    Label1 = new QLabel(QStringLiteral("Идет загрузка обновления. Пожалуйста подождите."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(19);
    Label1->setFont(font);

    Animate1 = new CopyAnimation(this);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->stop();

    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setTextVisible(false);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setAlignment(Qt::AlignCenter);

    lblVer = new QLabel(this);
    lblVer->setObjectName(QStringLiteral("lblVer"));
    lblVer->setTextFormat(Qt::PlainText);
    lblVer->hide();
    lblUpDate = new QLabel(this);
    lblUpDate->setObjectName(QStringLiteral("lblUpDate"));
    lblUpDate->setTextFormat(Qt::PlainText);
    lblUpDate->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addWidget(Label1);
    layout->addWidget(Animate1, 0, Qt::AlignHCenter);
    layout->addWidget(pbProgress);
    layout->addWidget(lblProgress);
    setFixedSize(360, 220);

    HTTP = std::make_unique<HttpClient>(HttpVersion::Http11); // cookies off

    cxPropertiesStore1 = new TcxPropertiesStore(this);
    cxPropertiesStore1->setObjectName(QStringLiteral("cxPropertiesStore1"));
    ProgramStores::declareVerStoreItems(*cxPropertiesStore1, this);
    if (cxPropertiesStore1->Active())
        restoreRemembered();
    FormCreate();
}

TfmUpDate::~TfmUpDate()
{
    if (!cxPropertiesStore1->Active())
        return;
    try {
        cxPropertiesStore1->StoreProperties(true);
    } catch (const EPropertiesStore& error) {
        Prompts::instance().error(nullptr, error.message());
    }
}

void TfmUpDate::FormCreate()
{
    restoreRemembered();
}

void TfmUpDate::restoreRemembered()
{
    try {
        cxPropertiesStore1->RestoreProperties();
    } catch (const EPropertiesStore& error) {
        Prompts::instance().error(nullptr, error.message());
    }
}

void TfmUpDate::setConnectionSource(std::function<ConnectionSettings()> source)
{
    m_connectionSource = std::move(source);
}

void TfmUpDate::setProgramEnd(std::function<void()> end)
{
    m_programEnd = std::move(end);
}

void TfmUpDate::setExecutablePath(const QString& path)
{
    m_executablePath = path;
}

void TfmUpDate::setScriptLauncher(ScriptLauncher launcher)
{
    m_launcher = std::move(launcher);
}

void TfmUpDate::setDefinitionsFiles(const DefinitionsFiles& files)
{
    m_definitionsFiles = files;
}

void TfmUpDate::SetAutoCheck(bool autoCheck)
{
    FAutoCheck = autoCheck;
}

void TfmUpDate::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

void TfmUpDate::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        QWidget::keyPressEvent(event);
}

bool TfmUpDate::FormCloseQuery()
{
    // The form is never closed by the user, only hidden when the download ends: a running one
    // is cancelled, which ends it at once.
    if (m_downloading)
        HTTP->abort();
    return false;
}

void TfmUpDate::HTTPWork()
{
    QCoreApplication::processEvents();
}

void TfmUpDate::runAutomaticCheck(const std::function<void()>& menuCheck)
{
    // A replacement whose copy failed restarted this program: it says so once, here.
    m_files = UpdateFiles::beside(m_executablePath);
    UpdateCheck(*HTTP, *this).reportFailedInstall(m_files);
    const QDate today = QDate::currentDate();
    lblUpDate->setText(UpdateSchedule::settledCaption(lblUpDate->text(), today));
    SetAutoCheck(true);
    const ScopeExit reset([this] { SetAutoCheck(false); });
    if (UpdateSchedule::checkDue(lblUpDate->text(), today)) {
        menuCheck();
        return;
    }
    // The definitions are asked for daily, the program weekly.
    if (m_checking)
        return;
    m_checking = true;
    const ScopeExit done([this] { m_checking = false; });
    applyConnectionSettings();
    checkDefinitions(UpdateSource::fromEndpoints(Endpoints::current()));
}

void TfmUpDate::CheckForUpdate()
{
    // The boxes and the transfer pump window messages; a second check asked for meanwhile is not
    // started over the running one.
    if (m_checking)
        return;
    m_checking = true;
    const ScopeExit done([this] { m_checking = false; });

    m_files = UpdateFiles::beside(m_executablePath);
    applyConnectionSettings();
    const UpdateSource source = UpdateSource::fromEndpoints(Endpoints::current());
    const ScopeExit forget([this] { m_definitionsLine.clear(); });
    checkDefinitions(source);
    UpdateCheck(*HTTP, *this).run(source, m_files, FAutoCheck, QDate::currentDate());
    // No box came up (the download was cancelled): the line stands alone.
    if (!m_definitionsLine.isEmpty())
        showMessage(QString());
}

void TfmUpDate::applyConnectionSettings()
{
    HTTP->proxy() = m_connectionSource ? proxyParamsFrom(m_connectionSource()) : ProxyParams {};
}

void TfmUpDate::checkDefinitions(const UpdateSource& source)
{
    DefinitionsUpdate update(*HTTP, m_definitionsFiles, source);
    update.setDisplay(this);
    const DefinitionsUpdate::Outcome outcome = update.run(FAutoCheck, QDate::currentDate());
    // The automatic check says nothing; a new file takes effect at the next check of the engines.
    m_definitionsLine = FAutoCheck ? QString() : DefinitionsUpdate::menuLine(outcome);
}

QString TfmUpDate::withDefinitionsLine(const QString& text)
{
    if (m_definitionsLine.isEmpty())
        return text;
    const QString line = std::exchange(m_definitionsLine, QString());
    return text.isEmpty() ? line : text + u'\n' + line;
}

void TfmUpDate::InstallUpdate()
{
    SelfReplacement::writeScript(m_files, QCoreApplication::applicationPid());
    QString reason;
    if (!m_launcher(m_files.BatchFileName, &reason)) {
        QFile::remove(m_files.BatchFileName);
        throw EUpdate(
            QStringLiteral("Cannot start \"%1\". %2").arg(m_files.BatchFileName, reason).toStdString());
    }
    if (m_programEnd)
        m_programEnd();
    else
        QCoreApplication::exit(0);
}

QWidget* TfmUpDate::boxParent()
{
    return isVisible() ? this : m_mainWindow;
}

void TfmUpDate::showMessage(const QString& text)
{
    Prompts::instance().message(boxParent(), withDefinitionsLine(text));
}

void TfmUpDate::showError(const QString& text)
{
    Prompts::instance().ask(boxParent(), withDefinitionsLine(text), Prompts::Icon::Error,
        int(Prompts::Button::Ok), Prompts::Button::Ok);
}

bool TfmUpDate::askYesNo(const QString& text)
{
    return Prompts::instance().ask(boxParent(), withDefinitionsLine(text), Prompts::Icon::Information,
               int(Prompts::Button::Yes) | int(Prompts::Button::No), Prompts::Button::Yes)
        == Prompts::Button::Yes;
}

void TfmUpDate::downloadStarted()
{
    m_downloading = true;
    if (m_mainWindow)
        m_mainWindow->setEnabled(false);
    pbProgress->setRange(0, 0);
    lblProgress->clear();
    if (m_mainWindow)
        move(m_mainWindow->geometry().center() - rect().center());
    show();
    Animate1->start();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void TfmUpDate::askingStarted()
{
    downloadStarted();
    lblProgress->setText(QStringLiteral("Проверка наличия обновлений..."));
    QCoreApplication::processEvents();
}

void TfmUpDate::downloadProgress(qint64 received, qint64 total)
{
    // The total is bounded by UpdateCheck::kMaxUpdateBytes, so it fits the bar.
    pbProgress->setRange(0, int(total));
    pbProgress->setValue(int(qMin(received, total)));
    const QLocale locale;
    lblProgress->setText(
        QStringLiteral("Получено %1 из %2 байт").arg(locale.toString(received), locale.toString(total)));
    HTTPWork();
}

void TfmUpDate::downloadEnded()
{
    m_downloading = false;
    if (m_mainWindow)
        m_mainWindow->setEnabled(true);
    Animate1->stop();
    hide();
}

QString TfmUpDate::storedVersion() const
{
    return lblVer->text();
}

void TfmUpDate::setStored(const QString& version, const QString& dateText)
{
    lblVer->setText(version);
    lblUpDate->setText(dateText);
}

void TfmUpDate::storeRemembered()
{
    cxPropertiesStore1->StoreProperties(true);
    QCoreApplication::processEvents();
}
