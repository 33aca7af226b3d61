#pragma once

#include "history/HistorySetting.h"

#include <QDialog>
#include <QFutureWatcher>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "История позиций": this computer or the team's PostgreSQL database, with a button that tries
// the connection in the background.
class HistorySettingDialog : public QDialog {
    Q_OBJECT
public:
    explicit HistorySettingDialog(const HistorySetting& setting, QWidget* parent = nullptr);

    // The setting as the dialog shows it.
    HistorySetting setting() const;
    bool isChecking() const { return m_checking->isRunning(); }

    static const QString kCaption;
    static const QString kLocalChoice;
    static const QString kSharedChoice;
    static const QString kCheckButton;

    QRadioButton* LocalButton = nullptr;
    QRadioButton* SharedButton = nullptr;
    QLineEdit* ServerEdit = nullptr;
    QPushButton* CheckButton = nullptr;
    QLabel* CheckResult = nullptr;

signals:
    void connectionChecked();

private:
    void CheckButtonClick();
    void checkDone();
    void updateEnabled();
    void accept() override;

    QFutureWatcher<QString>* m_checking = nullptr;
};
