#include "app/frame/TfrRank.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/Placement.h"
#include "rank/lookup/EngineTable.h"

#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>

namespace {

QProgressBar* makeGauge(QWidget* parent, const QString& name, const QRect& geometry)
{
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(geometry);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Highlight, FrameLook::navy);
    palette.setColor(QPalette::Base, FrameLook::buttonFace());
    palette.setColor(QPalette::Window, FrameLook::buttonFace());
    bar->setPalette(palette);
    return bar;
}

} // namespace

void TfrRank::buildStartGroup()
{
    QGroupBox* group = Placement::group(
        this, QStringLiteral("GBStart"), QStringLiteral(" Старт поекта "), { 269, 367, 254, 243 });
    int top = 25;
    for (Engine engine : kEngines) {
        Placement::label(group, engineCaption(engine), { 16, top + 1 });
        m_gauges[static_cast<std::size_t>(engine)]
            = makeGauge(group, engineRow(engine).gauge, { 88, top, 150, 16 });
        top += 24;
    }
    PBGoogleCom = gauge(Engine::GoogleCom);
    PBGoogleRu = gauge(Engine::GoogleRu);
    PBYandexru = gauge(Engine::YandexRu);
    PBRamblerru = gauge(Engine::RamblerRu);
    PBaportru = gauge(Engine::AportRu);
    PBmsncom = gauge(Engine::MSNCom);

    Button = Placement::button(
        group, QStringLiteral("Button"), QStringLiteral("Начать контроль"), { 16, 175, 222, 49 });
    ButtonPause = Placement::button(
        group, QStringLiteral("ButtonPause"), QStringLiteral("Пауза"), { 16, 175, 111, 49 });
    ButtonStop = Placement::button(
        group, QStringLiteral("ButtonStop"), QStringLiteral("Остановить"), { 132, 175, 106, 49 });
    ButtonPause->hide();
    ButtonStop->hide();
}
