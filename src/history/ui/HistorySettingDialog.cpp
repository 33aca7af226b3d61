#include "history/ui/HistorySettingDialog.h"

#include "history/HistoryError.h"
#include "platform/ui/Prompts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

const QString HistorySettingDialog::kCaption = QStringLiteral("История позиций");
const QString HistorySettingDialog::kLocalChoice = QStringLiteral("этот компьютер");
const QString HistorySettingDialog::kSharedChoice = QStringLiteral("общая база PostgreSQL");
const QString HistorySettingDialog::kCheckButton = QStringLiteral("Проверить подключение");

HistorySettingDialog::HistorySettingDialog(const HistorySetting& setting, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("fmHistorySetting"));
    setWindowTitle(kCaption);
    LocalButton = new QRadioButton(kLocalChoice, this);
    LocalButton->setObjectName(QStringLiteral("LocalButton"));
    SharedButton = new QRadioButton(kSharedChoice, this);
    SharedButton->setObjectName(QStringLiteral("SharedButton"));
    ServerEdit = new QLineEdit(setting.server, this);
    ServerEdit->setObjectName(QStringLiteral("ServerEdit"));
    ServerEdit->setMaxLength(2000);
    ServerEdit->setPlaceholderText(QStringLiteral("postgresql://сервер/база  или  service=имя"));
    CheckButton = new QPushButton(kCheckButton, this);
    CheckButton->setObjectName(QStringLiteral("CheckButton"));
    CheckResult = new QLabel(this);
    CheckResult->setObjectName(QStringLiteral("CheckResult"));
    CheckResult->setTextFormat(Qt::PlainText);
    CheckResult->setWordWrap(true);
    auto* note = new QLabel(QStringLiteral("Пароль в строку подключения не пишется: он берётся из файла "
                                           "~/.pgpass (или PGPASSFILE), из файла служб или сервер "
                                           "узнаёт пользователя сам."),
        this);
    note->setWordWrap(true);
    (setting.shared ? SharedButton : LocalButton)->setChecked(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("История позиций:"), this));
    layout->addWidget(LocalButton);
    layout->addWidget(SharedButton);
    layout->addWidget(ServerEdit);
    layout->addWidget(note);
    layout->addWidget(CheckButton, 0, Qt::AlignLeft);
    layout->addWidget(CheckResult);
    layout->addWidget(buttons);
    resize(560, sizeHint().height());

    m_checking = new QFutureWatcher<QString>(this);
    connect(m_checking, &QFutureWatcherBase::finished, this, &HistorySettingDialog::checkDone);
    connect(CheckButton, &QPushButton::clicked, this, &HistorySettingDialog::CheckButtonClick);
    connect(SharedButton, &QRadioButton::toggled, this, &HistorySettingDialog::updateEnabled);
    connect(buttons, &QDialogButtonBox::accepted, this, &HistorySettingDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateEnabled();
}

HistorySetting HistorySettingDialog::setting() const
{
    return HistorySetting { SharedButton->isChecked(), ServerEdit->text().trimmed() };
}

void HistorySettingDialog::updateEnabled()
{
    ServerEdit->setEnabled(SharedButton->isChecked());
    CheckButton->setEnabled(SharedButton->isChecked() && !m_checking->isRunning());
}

void HistorySettingDialog::CheckButtonClick()
{
    if (m_checking->isRunning())
        return;
    CheckResult->setText(QStringLiteral("подключение..."));
    CheckButton->setEnabled(false);
    m_checking->setFuture(QtConcurrent::run(
        [server = ServerEdit->text().trimmed()] { return checkHistoryConnection(server); }));
}

void HistorySettingDialog::checkDone()
{
    CheckResult->setText(m_checking->result());
    updateEnabled();
    emit connectionChecked();
}

void HistorySettingDialog::accept()
{
    try {
        setting().save();
    } catch (const HistoryError& e) {
        Prompts::instance().error(this, QStringLiteral("Настройка истории не сохранена: ") + e.message());
        return;
    }
    QDialog::accept();
}
