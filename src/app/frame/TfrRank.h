#pragma once

#include "net/ConnectionSettings.h"
#include "rank/lookup/Engine.h"
#include "rank/project/ProjectResults.h"
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
class CheckRun;
class HistoryRecorder;
class HistoryStore;
class LinkLabel;
class ResultCell;

// The project frame: shows and edits one project and shows its results in the result grid,
// gauges and figures, with the buttons of its check, the colour legend and the connection
// settings. The edits and check boxes write into the project at once; the check run fills the
// results and the frame follows its signals.
class TfrRank : public QFrame, public RunHost {
    Q_OBJECT
public:
    static constexpr int Width = 976;
    static constexpr int Height = 618;
    static constexpr int KeywordCount = Project::KeywordCount;

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

    const Project& project() const { return m_project; }
    ProjectResults& results() { return m_results; }
    const ProjectResults& results() const { return m_results; }
    // The check of this project, with its HTTP clients; the main window asks it to stop before
    // closing the frame.
    CheckRun& checkRun() const { return *m_checkRun; }
    // A stored connection setting that could not be read when the frame was made; the window
    // reports it once it is up. Empty when there was none.
    const QString& settingsProblem() const { return m_settingsProblem; }

    // Keeps every check of this project in the history and shows the change since the previous
    // check in the result cells' tooltips. The store must outlive the frame.
    void attachHistory(HistoryStore& store);

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
    const QString& fileName() const { return FFileName; }
    bool modified() const { return FModified; }
    bool running() const; // the start button is swapped for pause and stop
    bool startEnabled() const;

    void ResetProject();
    // The region the project's checks ask from; a change marks the project modified.
    void setRegion(const SearchRegion& region);

    // Shows the results of keyword n on the engine by the result cell rule: a reset cell in the
    // neutral colours, a written one in the legend colours of its result page (a query count: the
    // background of StaticText5); an older result keeps its colours. The reason is the tooltip.
    void showCell(Engine engine, int n);

    // RunHost
    ConnectionSettings connectionSettings() const override;
    void showMessage(const QString& text) override;
    void showError(const QString& text) override;
    SourceChoice sourceChoice() const override;
    SourceKeys sourceKeys() const override;

    // The legend cell whose colours a position found on resultPage takes.
    ResultCell* legendCellForResultPage(int resultPage) const;

signals:
    // "Заказать продвижение сайта по этим словам" was clicked.
    void promotionRequested();
    // What the check under way may spend on API requests, and at its end what it spent; empty for a
    // check that asks no API.
    void apiRequestsTextChanged(const QString& text);

public slots:
    void ButtonClick();
    void ButtonPauseClick();
    void ButtonStopClick();
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
    void followProject();
    void showProject();
    void showGauge(Engine engine);
    void showFigures();
    void showRunState();
    void restoreConnectionSettings();
    void storeConnectionSettings();
    ResultCell& requireCell(const QString& name) const;

    QString FFileName;
    bool FModified = false;

    Project m_project;
    ProjectResults m_results;
    std::array<QLineEdit*, KeywordCount> m_keywordEdits {};
    std::array<QCheckBox*, kEngines.size()> m_checkBoxes {};
    std::array<QProgressBar*, kEngines.size()> m_gauges {};
    QHash<QString, QWidget*> m_componentsByLowerName;
    std::unique_ptr<CheckRun> m_checkRun;
    std::unique_ptr<HistoryRecorder> m_history;
    QString m_settingsProblem;
};
