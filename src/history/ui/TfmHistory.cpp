#include "history/ui/TfmHistory.h"

#include "history/HistoryCsv.h"
#include "history/HistoryDatabase.h"
#include "history/HistoryError.h"
#include "history/HistoryLocation.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "history/ui/PositionChart.h"
#include "platform/ui/Prompts.h"

#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace {

constexpr int kSizedColumns = 64;
QString notReadText(const QString& reason, const QString& location)
{
    return QStringLiteral("История позиций не прочитана: %1\n%2")
        .arg(reason, HistoryLocation::describe(location));
}

// A column is sized to the newest checks: the widths of older results are the same few texts.
constexpr int kSizedRows = 30;

} // namespace

const QString TfmHistory::kCaption = QStringLiteral("История позиций");
const QString TfmHistory::kCsvButton = QStringLiteral("Экспорт в CSV...");
const QString TfmHistory::kReadingNote = QStringLiteral("читается история...");
const QString TfmHistory::kMarksLegend
    = QStringLiteral("▲ — позиция выше, чем в прошлой проверке;  ▼ — ниже;  = — без изменений;  "
                     "новая — сайт найден, а раньше не был;  потеряна — сайт был найден, а теперь нет");

TfmHistory::TfmHistory(HistoryStore& store, const QString& site, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_store(store)
    , m_site(site)
{
    setObjectName(QStringLiteral("fmHistory"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::NonModal);
    setWindowTitle(kCaption + QStringLiteral(" — ") + site);
    resize(960, 640);

    SiteLabel = new QLabel(QStringLiteral("Сайт: ") + site, this);
    SiteLabel->setObjectName(QStringLiteral("SiteLabel"));
    SiteLabel->setTextFormat(Qt::PlainText);

    m_model = new HistoryTableModel(this);
    Grid = new QTableView(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setModel(m_model);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->verticalHeader()->setVisible(false);
    Grid->horizontalHeader()->setResizeContentsPrecision(kSizedRows);

    MarksLegend = new QLabel(kMarksLegend, this);
    MarksLegend->setObjectName(QStringLiteral("MarksLegend"));
    MarksLegend->setWordWrap(true);

    KeywordBox = new QComboBox(this);
    KeywordBox->setObjectName(QStringLiteral("KeywordBox"));
    KeywordBox->setMinimumContentsLength(30);
    Chart = new QChartView(this);
    Chart->setObjectName(QStringLiteral("Chart"));
    Chart->setRenderHint(QPainter::Antialiasing);
    Chart->setMinimumHeight(260);

    ButtonCsv = new QPushButton(kCsvButton, this);
    ButtonCsv->setObjectName(QStringLiteral("ButtonCsv"));

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("Ключевое слово:"), this));
    chooser->addWidget(KeywordBox, 1);
    chooser->addStretch();
    chooser->addWidget(ButtonCsv);

    auto* chartPart = new QWidget(this);
    auto* chartLayout = new QVBoxLayout(chartPart);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chartLayout->addLayout(chooser);
    chartLayout->addWidget(Chart, 1);

    auto* tablePart = new QWidget(this);
    auto* tableLayout = new QVBoxLayout(tablePart);
    tableLayout->setContentsMargins(0, 0, 0, 0);
    tableLayout->addWidget(Grid, 1);
    tableLayout->addWidget(MarksLegend);

    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(tablePart);
    splitter->addWidget(chartPart);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SiteLabel);
    layout->addWidget(splitter, 1);

    connect(ButtonCsv, &QPushButton::clicked, this, &TfmHistory::ButtonCsvClick);
    connect(KeywordBox, &QComboBox::currentIndexChanged, this, &TfmHistory::KeywordBoxChange);
    m_reading = new QFutureWatcher<Reading>(this);
    connect(m_reading, &QFutureWatcherBase::finished, this, &TfmHistory::readDone);
    m_writing = new QFutureWatcher<QString>(this);
    connect(m_writing, &QFutureWatcherBase::finished, this, &TfmHistory::csvDone);
    read();
}

TfmHistory* TfmHistory::showFor(HistoryStore& store, const QString& site, QWidget* parent)
{
    try {
        // A file that is no history of the program is said at once, without a window; reading
        // the checks comes after.
        store.open();
        auto* window = new TfmHistory(store, site, parent);
        if (parent) {
            const QWidget* main = parent->window();
            window->move(main->frameGeometry().center() - window->rect().center());
        }
        window->show();
        window->raise();
        window->activateWindow();
        return window;
    } catch (const HistoryError& e) {
        Prompts::instance().error(parent, notReadText(e.message(), store.location()));
        return nullptr;
    }
}

void TfmHistory::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window as it would a dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfmHistory::read()
{
    if (m_readingNow) {
        m_readAgain = true;
        return;
    }
    m_readingNow = true;
    SiteLabel->setText(QStringLiteral("Сайт: %1 (%2)").arg(m_site, kReadingNote));
    m_reading->setFuture(QtConcurrent::run([location = m_store.location(), site = m_site] {
        Reading reading;
        try {
            reading.history
                = HistoryLocation::open(location, HistoryDatabase::kBusyTimeoutMs)->siteHistory(site);
        } catch (const HistoryError& e) {
            reading.error = e.message();
        }
        return reading;
    }));
}

void TfmHistory::readDone()
{
    Reading reading = m_reading->future().takeResult();
    SiteLabel->setText(QStringLiteral("Сайт: ") + m_site);
    m_readingNow = false;
    if (m_readAgain) {
        m_readAgain = false;
        read();
        return;
    }
    if (reading.error.isEmpty()) {
        showHistory(std::move(reading.history));
    } else if (!m_shownOnce) {
        Prompts::instance().error(this, notReadText(reading.error, m_store.location()));
    }
    // A later read that fails leaves the window as it was.
    m_shownOnce = true;
    emit historyShown();
}

void TfmHistory::showHistory(SiteHistory history)
{
    m_model->setHistory(std::move(history));
    // Sizing a column reads its cells; a history of thousands of series sizes the first ones only.
    const int sized = std::min(m_model->columnCount(), kSizedColumns);
    for (int column = 0; column < sized; ++column)
        Grid->resizeColumnToContents(column);
    const QString chosen = KeywordBox->currentText();
    const QSignalBlocker quiet(KeywordBox);
    KeywordBox->clear();
    KeywordBox->addItems(m_model->history().keywords());
    if (const int kept = KeywordBox->findText(chosen); kept >= 0)
        KeywordBox->setCurrentIndex(kept);
    KeywordBoxChange();
}

bool TfmHistory::showsSite(const QString& site) const
{
    return seriesSite(site) == seriesSite(m_site);
}

void TfmHistory::reload()
{
    read();
}

bool TfmHistory::isWorking() const
{
    return m_readingNow || m_writingNow;
}

void TfmHistory::KeywordBoxChange()
{
    const PositionChartModel model(m_model->history(), KeywordBox->currentText());
    Chart->setChart(buildPositionChart(model, KeywordBox->currentText()));
}

void TfmHistory::ButtonCsvClick()
{
    if (m_writingNow)
        return;
    Prompts::FileDialog dialog;
    dialog.title = QStringLiteral("Сохранить историю позиций");
    dialog.filter = QStringLiteral("CSV|*.csv");
    dialog.defaultExt = QStringLiteral(".csv");
    dialog.initialDir = QDir::homePath();
    const QString path = Prompts::instance().saveFile(this, dialog);
    if (path.isEmpty())
        return;
    m_writingNow = true;
    ButtonCsv->setEnabled(false);
    m_writing->setFuture(QtConcurrent::run([location = m_store.location(), site = m_site, path] {
        try {
            const HistoryStore store(location);
            writeHistoryCsv(path, store, &site);
            return QString();
        } catch (const HistoryError& e) {
            return e.message();
        }
    }));
}

void TfmHistory::csvDone()
{
    m_writingNow = false;
    ButtonCsv->setEnabled(true);
    if (const QString error = m_writing->result(); !error.isEmpty())
        Prompts::instance().error(this, error);
    emit csvWritten();
}
