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
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
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

QString tooltipOf(const CellResult& result, const QString& definitionsInForce = {})
{
    QStringList lines;
    for (const QString& line : { result.why.detail, result.change })
        if (!line.isEmpty())
            lines << line;
    // An unrecognised page may come of definitions out of date: the tooltip says which were in force.
    if (result.why.reason == Reason::Unrecognised && !definitionsInForce.isEmpty())
        lines << QStringLiteral("описания: ") + definitionsInForce;
    return lines.join(u'\n');
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

    followProject();
    createRun();
    restoreConnectionSettings();
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

void TfrRank::setRegion(const SearchRegion& region)
{
    if (region == m_project.region)
        return;
    m_project.region = region;
    SetModified(true);
}

bool TfrRank::running() const
{
    return m_checkRun->showsRunning();
}

bool TfrRank::startEnabled() const
{
    return Button->isEnabled();
}

void TfrRank::ResetProject()
{
    SetModified(false);
    SetFileName(QString());
    m_project.site = QStringLiteral("http://");
    m_project.keywords = {};
    m_project.region = {};
    showProject();
    m_results.resetFigures();
    for (Engine engine : kEngines)
        showGauge(engine);
    showFigures();
}

// Every edit and check box writes into the project as it changes. The text is read from the edit,
// not from the signal: an edit that keeps only a first line sets its text again from inside it.
void TfrRank::followProject()
{
    connect(edWEB, &QLineEdit::textChanged, this, [this] { m_project.site = edWEB->text(); });
    for (int n = 1; n <= KeywordCount; ++n) {
        QLineEdit* edit = keywordEdit(n);
        connect(
            edit, &QLineEdit::textChanged, this, [this, edit, n] { m_project.keyword(n) = edit->text(); });
    }
    for (Engine engine : kEngines) {
        QCheckBox* box = checkBox(engine);
        connect(box, &QCheckBox::toggled, this,
            [this, box, engine] { m_project.setTicked(engine, box->isChecked()); });
    }
}

// The edits may refuse part of a text (a second line, more than they hold): the project keeps what
// they show.
void TfrRank::showProject()
{
    const Project shown = m_project;
    edWEB->setText(shown.site);
    m_project.site = edWEB->text();
    for (int n = 1; n <= KeywordCount; ++n) {
        keywordEdit(n)->setText(shown.keyword(n));
        m_project.keyword(n) = keywordEdit(n)->text();
    }
    for (Engine engine : kEngines)
        checkBox(engine)->setChecked(shown.isTicked(engine));
}

void TfrRank::showCell(Engine engine, int n)
{
    const CellResult& rank = m_results.rank(engine, n);
    ResultCell* target = rankCell(engine, n);
    target->setText(rank.text);
    target->setToolTip(tooltipOf(rank, m_results.definitionsInForce));
    if (rank.state == CellResult::State::Written) {
        target->takeColorsOf(*legendCellForResultPage(rank.resultPage));
    } else if (rank.state == CellResult::State::Reset) {
        target->setTextColor(FrameLook::windowText());
        target->setBackgroundColor(FrameLook::buttonFace());
    }
    if (!engineRow(engine).hasQueryCount())
        return;
    // A query count takes the legend's background only; its text colour stays.
    const CellResult& count = m_results.count(engine, n);
    target = countCell(engine, n);
    target->setText(count.text);
    target->setToolTip(tooltipOf(count));
    if (count.state == CellResult::State::Written)
        target->setBackgroundColor(StaticText5->backgroundColor());
    else if (count.state == CellResult::State::Reset)
        target->setBackgroundColor(FrameLook::buttonFace());
}

void TfrRank::showGauge(Engine engine)
{
    gauge(engine)->setValue(m_results.gauge(engine));
}

void TfrRank::showFigures()
{
    stYandexCY->setText(m_results.cy.text);
    stYandexCY->setToolTip(m_results.cy.why.detail);
    stGooglePR->setText(m_results.pr.text);
    stGooglePR->setToolTip(m_results.pr.why.detail);
    stTime->setText(m_results.elapsed);
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
