#pragma once

#include "net/ConnectionSettings.h"
#include "rank/lookup/Engine.h"
#include "rank/project/Project.h"
#include "rank/run/RunHost.h"

#include <QFrame>
#include <QHash>
#include <array>
#include <memory>

class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class CheckRun;
class HistoryRecorder;
class HistoryStore;
class HttpClient;
class LinkLabel;
class ResultCell;
class TcxPropertiesStore;

// The project frame: the inputs of one project, its result grid, gauges, buttons, colour legend
// and connection settings, with the project's state flags. Its check run drives it as its host.
class TfrRank : public QFrame, public RunHost {
    Q_OBJECT
public:
    static constexpr int Width = 976;
    static constexpr int Height = 618;
    static constexpr int KeywordCount = 7;

    explicit TfrRank(QWidget* parent = nullptr);
    ~TfrRank() override;

    // Components, named as in the design. The 84 result cells are found by name (cell()).
    QLineEdit* edWEB = nullptr;
    QLineEdit* edKeyWord1 = nullptr;
    QLineEdit* edKeyWord2 = nullptr;
    QLineEdit* edKeyWord3 = nullptr;
    QLineEdit* edKeyWord4 = nullptr;
    QLineEdit* edKeyWord5 = nullptr;
    QLineEdit* edKeyWord6 = nullptr;
    QLineEdit* edKeyWord7 = nullptr;
    QCheckBox* CheckBoxGoogleCom = nullptr;
    QCheckBox* CheckBoxGoogleRu = nullptr;
    QCheckBox* CheckBoxYandexRu = nullptr;
    QCheckBox* CheckBoxRamblerRu = nullptr;
    QCheckBox* CheckBoxAportRu = nullptr;
    QCheckBox* CheckBoxMSNCom = nullptr;
    ResultCell* stGooglePR = nullptr;
    ResultCell* stYandexCY = nullptr;
    ResultCell* stTime = nullptr;
    QProgressBar* PBGoogleCom = nullptr;
    QProgressBar* PBGoogleRu = nullptr;
    QProgressBar* PBYandexru = nullptr;
    QProgressBar* PBRamblerru = nullptr;
    QProgressBar* PBaportru = nullptr;
    QProgressBar* PBmsncom = nullptr;
    QPushButton* Button = nullptr;
    QPushButton* ButtonPause = nullptr;
    QPushButton* ButtonStop = nullptr;
    ResultCell* StaticText2 = nullptr;
    ResultCell* StaticText3 = nullptr;
    ResultCell* StaticText4 = nullptr;
    ResultCell* StaticText5 = nullptr;
    LinkLabel* Label33 = nullptr;
    LinkLabel* Label34 = nullptr;
    LinkLabel* JvImage1 = nullptr;
    QRadioButton* RBDefault = nullptr;
    QRadioButton* RBProxy = nullptr;
    QGroupBox* GBProxy = nullptr;
    QGroupBox* GBUser = nullptr;
    QLineEdit* ProxyServer = nullptr;
    QLineEdit* ProxyPort = nullptr;
    QLineEdit* ProxyUser = nullptr;
    QLineEdit* ProxyPass = nullptr;

    // Non-visual members: the clock timer and the two property stores. The HTTP clients belong
    // to the check run (checkRun().clients()).
    QTimer* Timer = nullptr;
    TcxPropertiesStore* DataPropertiesStore = nullptr;
    TcxPropertiesStore* PropertiesStore = nullptr;

    // The check of this project; the main window asks it to stop before closing the frame.
    CheckRun& checkRun() const { return *m_checkRun; }
    // A stored connection setting that could not be read when the frame was made; the window
    // reports it once it is up. Empty when there was none.
    const QString& settingsProblem() const { return m_settingsProblem; }

    // Keeps every check of this project in the history and shows the change since the previous
    // check in the result cells' tooltips. The store must outlive the frame.
    void attachHistory(HistoryStore& store);

    // Copies the connection settings into one client; throws for a proxy port that is not a number.
    void ApplyProxySettings(HttpClient& client) const;

    // The 14 project values from and to a project file; errors carry the store's texts.
    void LoadProject(const QString& path);
    void SaveProject(const QString& path);

    // The same components reached by engine or keyword number (n = 1..7).
    QLineEdit* keywordEdit(int n) const;
    QCheckBox* checkBox(Engine engine) const;
    QProgressBar* gauge(Engine engine) const;
    ResultCell* rankCell(Engine engine, int n) const;
    ResultCell* countCell(Engine engine, int n) const;

    // A child component by its name, letters compared without regard to case; nullptr when absent.
    QWidget* findComponent(const QString& name) const;
    ResultCell* cell(const QString& name) const;

    // State.
    void SetFileName(const QString& fileName);
    void SetModified(bool modified);
    void SetRunning(bool running);
    void SetPaused(bool paused);
    void SetStopRequested(bool stopRequested);
    const QString& fileName() const { return FFileName; }
    bool modified() const { return FModified; }
    bool running() const { return FRunning; }
    bool paused() const override { return FPaused; }
    bool stopRequested() const override { return FStopRequested; }
    bool startEnabled() const;

    void ResetProject();
    // Lets pending window messages run once, then waits on the event loop while the check is paused.
    void WaitWhilePaused();

    // The project's inputs as the edits and check boxes hold them.
    Project project() const;

    // Inputs as the lookups read them.
    QString siteText() const override;
    QString keyword(int n) const override;
    bool engineChecked(Engine engine) const override;
    ConnectionSettings connectionSettings() const override;
    void waitWhilePaused() override { WaitWhilePaused(); }
    void processEvents() override;

    // Gauges clamp every position into 0..100.
    void setGaugePosition(Engine engine, int position);
    void advanceGauge(Engine engine, int step) override;
    void setGauge(Engine engine, int position) override { setGaugePosition(engine, position); }

    // Result cell rule; the reason behind a text is the cell's tooltip.
    void resetRankCell(Engine engine, int n) override;
    void resetCountCell(Engine engine, int n) override;
    void writeCountCell(Engine engine, int n, const QString& text, const Outcome& why = {}) override;
    void writeRankCell(
        Engine engine, int n, const QString& text, int resultPage, const Outcome& why = {}) override;
    void notAsked(Engine engine, int n, const Outcome& why) override;

    // The rest of the run's host: buttons, flags, clock and metric cells.
    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    void setStartEnabled(bool enabled) override;
    void setPauseCaption(const QString& caption) override;
    void setRunning(bool running) override { SetRunning(running); }
    void setPaused(bool paused) override { SetPaused(paused); }
    void setStopRequested(bool stop) override { SetStopRequested(stop); }
    void setTimerActive(bool active) override;
    void setTimeText(const QString& text) override;
    void setYandexCY(const QString& text, const Outcome& why) override;
    void setGooglePR(const QString& text, const Outcome& why) override;
    void nothingAnswered(const QString& lastError) override;

    // The legend cell whose colours a position found on resultPage takes.
    ResultCell* legendCellForResultPage(int resultPage) const;

signals:
    // The pause ended or a stop was asked for: a waiting WaitWhilePaused looks at the flags again.
    void pauseReleased();
    // "Заказать продвижение сайта по этим словам" was clicked.
    void promotionRequested();

public slots:
    void ButtonClick();
    void ButtonPauseClick();
    void ButtonStopClick();
    void TimerTimer();
    void RBDefaultClick();
    void Label33Click();
    void Label34Click();
    void JvImage1Click();

public:
    // Key-down handler of edWEB and the seven keyword edits.
    void edKeyWord1KeyDown(QKeyEvent* event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildTopRow();
    void buildControlGroup();
    void buildKeywordColumn(QWidget* group);
    void buildEngineColumn(QWidget* group, Engine engine, int left);
    void buildConnectionGroup();
    void buildStartGroup();
    void buildLegendGroup();
    void indexComponents();
    void createRun();
    void createStores();
    void storeConnectionSettings();
    ResultCell& requireCell(const QString& name) const;

    QString FFileName;
    bool FModified = false;
    bool FRunning = false;
    bool FPaused = false;
    bool FStopRequested = false;

    std::array<QLineEdit*, KeywordCount> m_keywordEdits {};
    std::array<QCheckBox*, kEngines.size()> m_checkBoxes {};
    std::array<QProgressBar*, kEngines.size()> m_gauges {};
    QHash<QString, QWidget*> m_componentsByLowerName;
    std::unique_ptr<CheckRun> m_checkRun;
    std::unique_ptr<HistoryRecorder> m_history;
    QString m_settingsProblem;
};
