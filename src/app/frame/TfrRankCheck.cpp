// The frame's check run and connection settings, and the frame as the host of its check.
#include "app/frame/TfrRank.h"

#include "history/HistoryRecorder.h"
#include "platform/ui/Prompts.h"
#include "rank/run/CheckRun.h"
#include "sources/SourceChoiceSetting.h"
#include "sources/SourceKeyStore.h"
#include "store/ProgramStores.h"
#include "store/StoreError.h"
#include "update/DefinitionsSources.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// The connection controls as the per-user registry keeps them.
ProgramStores::Connection connectionOf(const TfrRank& frame)
{
    return { frame.RBDefault->isChecked(), frame.RBProxy->isChecked(), frame.GBProxy->isEnabled(),
        frame.GBUser->isEnabled(), frame.ProxyPass->text(), frame.ProxyPort->text(),
        frame.ProxyServer->text(), frame.ProxyUser->text() };
}

} // namespace

void TfrRank::createRun()
{
    m_checkRun = std::make_unique<CheckRun>(m_project, m_results, *this);
    connect(m_checkRun.get(), &CheckRun::cellChanged, this, &TfrRank::showCell);
    connect(m_checkRun.get(), &CheckRun::gaugeChanged, this, &TfrRank::showGauge);
    connect(m_checkRun.get(), &CheckRun::figuresChanged, this, &TfrRank::showFigures);
    connect(m_checkRun.get(), &CheckRun::stateChanged, this, &TfrRank::showRunState);
    connect(m_checkRun.get(), &CheckRun::started, this, [this] { emit apiRequestsTextChanged({}); });
    connect(m_checkRun.get(), &CheckRun::apiRequestsPlanned, this, [this] {
        emit apiRequestsTextChanged(CheckRun::apiRequestsPlannedText(m_results.apiRequestsPlanned));
    });
    connect(m_checkRun.get(), &CheckRun::finished, this, [this] {
        if (m_results.apiRequestsPlanned.total() > 0)
            emit apiRequestsTextChanged(CheckRun::apiRequestsSpentText(m_results.apiRequests));
    });
    connect(Button, &QPushButton::clicked, this, &TfrRank::ButtonClick);
    connect(ButtonPause, &QPushButton::clicked, this, &TfrRank::ButtonPauseClick);
    connect(ButtonStop, &QPushButton::clicked, this, &TfrRank::ButtonStopClick);
}

// SetRunning: the start button gives way to pause and stop while a check runs.
void TfrRank::showRunState()
{
    const bool running = m_checkRun->showsRunning();
    Button->setVisible(!running);
    Button->setEnabled(m_checkRun->startEnabled());
    ButtonPause->setVisible(running);
    ButtonPause->setText(m_checkRun->pauseCaption());
    ButtonStop->setVisible(running);
}

SourceChoice TfrRank::sourceChoice() const
{
    return SourceChoiceSetting::load();
}

SourceKeys TfrRank::sourceKeys() const
{
    return SourceKeyStore().load().keys;
}

void TfrRank::restoreConnectionSettings()
{
    ProgramStores::Connection connection = connectionOf(*this);
    try {
        ProgramStores::restoreConnection(connection);
    } catch (const EPropertiesStore& e) {
        // A hand-edited value must not keep the project from opening: what was read before it stays.
        m_settingsProblem = e.message();
    }
    RBDefault->setChecked(connection.direct);
    RBProxy->setChecked(connection.proxy);
    GBProxy->setEnabled(connection.proxyGroup);
    GBUser->setEnabled(connection.userGroup);
    ProxyPass->setText(connection.password);
    ProxyPort->setText(connection.port);
    ProxyServer->setText(connection.server);
    ProxyUser->setText(connection.user);
    RBDefaultClick();
}

void TfrRank::storeConnectionSettings()
{
    try {
        ProgramStores::storeConnection(connectionOf(*this));
    } catch (const EPropertiesStore& e) {
        Prompts::instance().error(nullptr, e.message());
    }
}

void TfrRank::LoadProject(const QString& path)
{
    try {
        ProgramStores::loadProject(m_project, path);
    } catch (...) {
        // The values read before the failing one stay, as the edits show them.
        showProject();
        throw;
    }
    showProject();
}

void TfrRank::SaveProject(const QString& path)
{
    ProgramStores::saveProject(m_project, path);
    SetModified(false);
    if (m_history)
        m_history->projectSaved(path);
}

void TfrRank::ButtonClick()
{
    // Definitions installed or mended since the last check take effect now; a refused file is
    // told once, and the next source is used.
    const LoadedDefinitions loaded = DefinitionsSources::reloadCurrent();
    for (const QString& refusal : DefinitionsSources::notShownBefore(loaded.refusals))
        Prompts::instance().message(window(), refusal);
    if (m_history)
        m_history->setDefinitionsVersion(loaded.definitions->version);
    m_checkRun->ButtonClick();
}

void TfrRank::ButtonPauseClick()
{
    m_checkRun->ButtonPauseClick();
}

void TfrRank::ButtonStopClick()
{
    m_checkRun->ButtonStopClick();
}

ConnectionSettings TfrRank::connectionSettings() const
{
    return connectionOf(*this).settings();
}

void TfrRank::showMessage(const QString& text)
{
    Prompts::instance().message(window(), text);
}

void TfrRank::showError(const QString& text)
{
    Prompts::instance().error(window(), text);
}
