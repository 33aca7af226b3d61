// The frame's non-visual members: HTTP clients, clock timer, run control and property stores.
#include "rank/frame/TfrRank.h"

#include "platform/ui/Prompts.h"
#include "rank/frame/FrameRunHost.h"
#include "net/HttpClient.h"
#include "rank/run/CheckRun.h"
#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"
#include "store/StoreError.h"

#include <QPushButton>
#include <QTimer>

void TfrRank::createClients()
{
    IdCookieManager = std::make_unique<CookieStore>();
    auto client = [this](HttpClient::Version version = HttpClient::Version::Http11) {
        return std::make_unique<HttpClient>(*IdCookieManager, version);
    };
    HTTPGooglecom = client();
    HTTPGoogleru = client();
    HTTPYandex = client();
    HTTPRambler = client();
    HTTPAport = client();
    HTTPMSN = client(HttpClient::Version::Http10);
    HTTPCYPR = client();

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(250);
    connect(Timer, &QTimer::timeout, this, &TfrRank::TimerTimer);

    m_runHost = std::make_unique<FrameRunHost>(*this);
    m_checkRun = std::make_unique<CheckRun>(*m_runHost);
    connect(Button, &QPushButton::clicked, this, &TfrRank::ButtonClick);
    connect(ButtonPause, &QPushButton::clicked, this, &TfrRank::ButtonPauseClick);
    connect(ButtonStop, &QPushButton::clicked, this, &TfrRank::ButtonStopClick);
}

void TfrRank::createStores()
{
    DataPropertiesStore = new TcxPropertiesStore(this);
    DataPropertiesStore->setObjectName(QStringLiteral("DataPropertiesStore"));
    ProgramStores::declareProjectFileItems(*DataPropertiesStore, this);

    PropertiesStore = new TcxPropertiesStore(this);
    PropertiesStore->setObjectName(QStringLiteral("PropertiesStore"));
    ProgramStores::declareConnectionItems(*PropertiesStore, this);
    try {
        PropertiesStore->RestoreProperties();
    } catch (const EPropertiesStore& e) {
        // A hand-edited value must not keep the project from opening: the design defaults stay.
        Prompts::instance().error(this, e.message());
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

HttpClient& TfrRank::engineClient(Engine engine) const
{
    switch (engine) {
    case Engine::GoogleCom:
        return *HTTPGooglecom;
    case Engine::GoogleRu:
        return *HTTPGoogleru;
    case Engine::YandexRu:
        return *HTTPYandex;
    case Engine::RamblerRu:
        return *HTTPRambler;
    case Engine::AportRu:
        return *HTTPAport;
    case Engine::MSNCom:
        return *HTTPMSN;
    }
    return *HTTPCYPR;
}

void TfrRank::ApplyProxySettings(HttpClient& client) const
{
    client.proxy() = proxyParamsFrom(connectionSettings());
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
