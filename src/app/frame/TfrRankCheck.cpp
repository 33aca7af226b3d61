// The frame's non-visual members (check run, clock timer, property stores) and the
// frame as the host its check run drives.
#include "app/frame/TfrRank.h"

#include "app/frame/ResultCell.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/Prompts.h"
#include "rank/lookup/EngineClients.h"
#include "rank/lookup/EngineTable.h"
#include "rank/run/CheckRun.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

void TfrRank::createRun()
{
    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(250);
    connect(Timer, &QTimer::timeout, this, &TfrRank::TimerTimer);

    m_checkRun = std::make_unique<CheckRun>(*this);
    connect(Button, &QPushButton::clicked, this, &TfrRank::ButtonClick);
    connect(ButtonPause, &QPushButton::clicked, this, &TfrRank::ButtonPauseClick);
    connect(ButtonStop, &QPushButton::clicked, this, &TfrRank::ButtonStopClick);
}

void TfrRank::createStores()
{
    DataPropertiesStore = new TcxPropertiesStore(this);
    DataPropertiesStore->setObjectName(QStringLiteral("DataPropertiesStore"));
    ProgramStores::declareProjectFileItems(*DataPropertiesStore, this, engineKeys());

    PropertiesStore = new TcxPropertiesStore(this);
    PropertiesStore->setObjectName(QStringLiteral("PropertiesStore"));
    ProgramStores::declareConnectionItems(*PropertiesStore, this);
    try {
        PropertiesStore->RestoreProperties();
    } catch (const EPropertiesStore& e) {
        // A hand-edited value must not keep the project from opening: the design defaults stay.
        m_settingsProblem = e.message();
    }
    RBDefaultClick();
}

void TfrRank::storeConnectionSettings()
{
    try {
        PropertiesStore->StoreProperties(true);
    } catch (const EPropertiesStore& e) {
        Prompts::instance().error(nullptr, e.message());
    }
}

void TfrRank::ApplyProxySettings(HttpClient& client) const
{
    EngineClients::applySettings(client, connectionSettings());
}

void TfrRank::LoadProject(const QString& path)
{
    ProgramStores::loadProject(*DataPropertiesStore, path);
}

void TfrRank::SaveProject(const QString& path)
{
    ProgramStores::saveProject(*DataPropertiesStore, path);
    SetModified(false);
}

void TfrRank::ButtonClick()
{
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
void TfrRank::TimerTimer()
{
    m_checkRun->TimerTimer();
}

void TfrRank::processEvents()
{
    QCoreApplication::processEvents();
}

void TfrRank::showMessage(const QString& text)
{
    Prompts::instance().message(window(), text);
}

void TfrRank::showError(const QString& text)
{
    Prompts::instance().error(window(), text);
}

void TfrRank::nothingAnswered(const QString& lastError)
{
    Prompts::instance().message(window(), CheckRun::kNothingAnsweredMessage.arg(lastError));
}

void TfrRank::setStartEnabled(bool enabled)
{
    Button->setEnabled(enabled);
}

void TfrRank::setPauseCaption(const QString& caption)
{
    ButtonPause->setText(caption);
}

void TfrRank::setTimerActive(bool active)
{
    if (active)
        Timer->start();
    else
        Timer->stop();
}

void TfrRank::setTimeText(const QString& text)
{
    stTime->setText(text);
}

void TfrRank::setYandexCY(const QString& text, const Outcome& why)
{
    stYandexCY->setText(text);
    stYandexCY->setToolTip(why.detail);
}

void TfrRank::setGooglePR(const QString& text, const Outcome& why)
{
    stGooglePR->setText(text);
    stGooglePR->setToolTip(why.detail);
}
