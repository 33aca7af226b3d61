#pragma once

#include "history/SiteHistory.h"

#include <QWidget>

class HistoryStore;
class HistoryTableModel;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

// The position history of one site: its checks, newest first, in a table; the chart of one
// keyword over time, one line per engine; and the export of the site's full data set as CSV.
// Not modal; it deletes itself when closed.
class TfmHistory : public QWidget {
    Q_OBJECT
public:
    TfmHistory(HistoryStore& store, const QString& site, QWidget* parent = nullptr);

    // Opens the window for the site, centred over the parent; an unreadable history is reported
    // instead. Escape closes the window.
    static TfmHistory* showFor(HistoryStore& store, const QString& site, QWidget* parent);

    QTableView* Grid = nullptr;
    QComboBox* KeywordBox = nullptr;
    QChartView* Chart = nullptr;
    QPushButton* ButtonCsv = nullptr;
    QLabel* SiteLabel = nullptr;
    QLabel* MarksLegend = nullptr; // what the marks of the table mean

    const SiteHistory& history() const;
    bool showsSite(const QString& site) const;
    // Reads the site's checks again, keeping the chosen keyword; a history that cannot be read
    // now leaves the window as it was.
    void reload();

    static const QString kCaption;
    static const QString kCsvButton;
    static const QString kMarksLegend;

public slots:
    void ButtonCsvClick();
    void KeywordBoxChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void load();

    HistoryStore& m_store;
    QString m_site;
    HistoryTableModel* m_model = nullptr;
};
