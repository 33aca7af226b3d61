#include "app/frame/TfrRank.h"

#include "app/frame/ResultCell.h"
#include "history/HistoryRecorder.h"
#include "net/Endpoints.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/SingleLineEdit.h"
#include "rank/lookup/EngineTable.h"
#include "rank/run/CheckRun.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

std::size_t indexOf(Engine engine)
{
    return static_cast<std::size_t>(engine);
}

void requireKeywordNumber(int n)
{
    if (n < 1 || n > TfrRank::KeywordCount)
        throw std::out_of_range("keyword number out of range: " + std::to_string(n));
}

} // namespace

TfrRank::TfrRank(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("frRank"));
    setFont(FrameLook::frameFont());
    setMinimumSize(Width, Height);
    resize(Width, Height);

    buildTopRow();
    buildControlGroup();
    buildConnectionGroup();
    buildStartGroup();
    buildLegendGroup();
    indexComponents();

    for (QLineEdit* edit :
        { edWEB, edKeyWord1, edKeyWord2, edKeyWord3, edKeyWord4, edKeyWord5, edKeyWord6, edKeyWord7 }) {
        edit->installEventFilter(this);
        keepFirstLine(edit);
    }

    createRun();
    createStores();
}

TfrRank::~TfrRank()
{
    storeConnectionSettings();
}

void TfrRank::indexComponents()
{
    m_componentsByLowerName.clear();
    for (QWidget* child : findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty())
            m_componentsByLowerName.insert(child->objectName().toLower(), child);
    }
}

QWidget* TfrRank::findComponent(const QString& name) const
{
    return m_componentsByLowerName.value(name.toLower(), nullptr);
}

ResultCell* TfrRank::cell(const QString& name) const
{
    return qobject_cast<ResultCell*>(findComponent(name));
}

ResultCell& TfrRank::requireCell(const QString& name) const
{
    ResultCell* found = cell(name);
    if (!found)
        throw std::logic_error("no cell named " + name.toStdString());
    return *found;
}

QLineEdit* TfrRank::keywordEdit(int n) const
{
    requireKeywordNumber(n);
    return m_keywordEdits[n - 1];
}

QCheckBox* TfrRank::checkBox(Engine engine) const
{
    return m_checkBoxes[indexOf(engine)];
}

QProgressBar* TfrRank::gauge(Engine engine) const
{
    return m_gauges[indexOf(engine)];
}

ResultCell* TfrRank::rankCell(Engine engine, int n) const
{
    requireKeywordNumber(n);
    return &requireCell(QStringLiteral("Rank") + engineKey(engine) + QString::number(n));
}

ResultCell* TfrRank::countCell(Engine engine, int n) const
{
    requireKeywordNumber(n);
    return &requireCell(QStringLiteral("Count") + engineKey(engine) + QString::number(n));
}

void TfrRank::SetFileName(const QString& fileName)
{
    FFileName = fileName;
}

void TfrRank::SetModified(bool modified)
{
    FModified = modified;
}

void TfrRank::SetRunning(bool running)
{
    FRunning = running;
    Button->setVisible(!running);
    ButtonPause->setVisible(running);
    ButtonStop->setVisible(running);
}

void TfrRank::SetPaused(bool paused)
{
    FPaused = paused;
    if (!paused)
        emit pauseReleased();
}

void TfrRank::SetStopRequested(bool stopRequested)
{
    FStopRequested = stopRequested;
    if (stopRequested)
        emit pauseReleased();
}

bool TfrRank::startEnabled() const
{
    return Button->isEnabled();
}

void TfrRank::ResetProject()
{
    SetModified(false);
    SetFileName(QString());
    edWEB->setText(QStringLiteral("http://"));
    for (QLineEdit* edit : m_keywordEdits)
        edit->clear();
    for (QProgressBar* bar : m_gauges)
        bar->setValue(0);
    stGooglePR->clear();
    stYandexCY->clear();
    stTime->setText(QStringLiteral("0:00:00"));
}

void TfrRank::WaitWhilePaused()
{
    const QPointer<TfrRank> alive(this);
    QCoreApplication::processEvents();
    if (!alive || !FPaused || FStopRequested)
        return;
    // A stop ends the wait as well: the lookups test the stop flag right after it.
    QEventLoop loop;
    connect(this, &TfrRank::pauseReleased, &loop, &QEventLoop::quit);
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    while (alive && FPaused && !FStopRequested)
        loop.exec();
}

Project TfrRank::project() const
{
    Project project;
    project.site = siteText();
    for (int n = 1; n <= KeywordCount; ++n)
        project.keyword(n) = keyword(n);
    for (Engine engine : kEngines)
        project.setTicked(engine, engineChecked(engine));
    return project;
}

QString TfrRank::siteText() const
{
    return edWEB->text();
}

QString TfrRank::keyword(int n) const
{
    return keywordEdit(n)->text();
}

bool TfrRank::engineChecked(Engine engine) const
{
    return checkBox(engine)->isChecked();
}

ConnectionSettings TfrRank::connectionSettings() const
{
    ConnectionSettings settings;
    settings.useProxy = RBProxy->isChecked();
    settings.server = ProxyServer->text();
    settings.port = ProxyPort->text();
    settings.user = ProxyUser->text();
    settings.password = ProxyPass->text();
    return settings;
}

void TfrRank::setGaugePosition(Engine engine, int position)
{
    QProgressBar* bar = gauge(engine);
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

void TfrRank::advanceGauge(Engine engine, int step)
{
    setGaugePosition(engine, gauge(engine)->value() + step);
}

void TfrRank::resetRankCell(Engine engine, int n)
{
    ResultCell* target = rankCell(engine, n);
    target->setTextColor(FrameLook::windowText());
    target->setBackgroundColor(FrameLook::buttonFace());
    target->clear();
    target->setToolTip(QString());
}

void TfrRank::resetCountCell(Engine engine, int n)
{
    ResultCell* target = countCell(engine, n);
    target->clear();
    target->setBackgroundColor(FrameLook::buttonFace());
    target->setToolTip(QString());
}

void TfrRank::writeCountCell(Engine engine, int n, const QString& text, const Outcome& why)
{
    ResultCell* target = countCell(engine, n);
    target->setText(text);
    target->setBackgroundColor(StaticText5->backgroundColor());
    target->setToolTip(why.detail);
}

void TfrRank::writeRankCell(Engine engine, int n, const QString& text, int resultPage, const Outcome& why)
{
    ResultCell* target = rankCell(engine, n);
    target->setText(text);
    target->takeColorsOf(*legendCellForResultPage(resultPage));
    target->setToolTip(why.detail);
}

// An unticked engine keeps what its cells show; an empty keyword's cells say why they are empty.
void TfrRank::notAsked(Engine engine, int n, const Outcome& why)
{
    if (why.reason != Reason::NotAsked || !engineChecked(engine))
        return;
    rankCell(engine, n)->setToolTip(why.detail);
    if (engineRow(engine).hasQueryCount)
        countCell(engine, n)->setToolTip(why.detail);
}

ResultCell* TfrRank::legendCellForResultPage(int resultPage) const
{
    switch (resultPage) {
    case 1:
        return StaticText2;
    case 2:
        return StaticText3;
    default:
        return StaticText4;
    }
}

void TfrRank::RBDefaultClick()
{
    const bool proxy = RBProxy->isChecked();
    GBProxy->setEnabled(proxy);
    GBUser->setEnabled(proxy);
}

void TfrRank::Label33Click()
{
    DesktopServices::instance().openUrl(
        QStringLiteral("http://%1/keywords_order_request.htm").arg(Endpoints::current().MakerSite));
}

void TfrRank::Label34Click()
{
    emit promotionRequested();
}

void TfrRank::JvImage1Click()
{
    DesktopServices::instance().openUrl(QStringLiteral("http://%1/").arg(Endpoints::current().PartnerSite));
}

void TfrRank::edKeyWord1KeyDown(QKeyEvent*)
{
    SetModified(true);
}

bool TfrRank::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched))
        edKeyWord1KeyDown(static_cast<QKeyEvent*>(event));
    return QFrame::eventFilter(watched, event);
}
