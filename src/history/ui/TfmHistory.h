#pragma once

#include "history/SiteHistory.h"

#include <QFutureWatcher>
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
// Not modal; it deletes itself when closed. The history is read and the CSV written on a worker
// thread, each with its own connection to the file, so that years of checks never hold the window.
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
    // Whether the history is being read or the CSV written.
    bool isWorking() const;

    static const QString kReadingNote;

    static const QString kCaption;
    static const QString kCsvButton;
    static const QString kMarksLegend;

signals:
    // The checks read have been shown; the CSV has been written (or its failure said).
    void historyShown();
    void csvWritten();

public slots:
    void ButtonCsvClick();
    void KeywordBoxChange();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What a worker read: the history, or why it could not be read.
    struct Reading {
        SiteHistory history;
        QString error;
    };
    void read();
    void readDone();
    void showHistory(SiteHistory history);
    void csvDone();

    HistoryStore& m_store;
    QString m_site;
    HistoryTableModel* m_model = nullptr;
    QFutureWatcher<Reading>* m_reading = nullptr;
    QFutureWatcher<QString>* m_writing = nullptr; // the error, empty when written
    bool m_readingNow = false; // until what was read is shown
    bool m_writingNow = false; // until the CSV's end is said
    bool m_readAgain = false; // a check was recorded while the history was read
    bool m_shownOnce = false;
};
