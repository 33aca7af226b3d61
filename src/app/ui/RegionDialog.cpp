#include "app/ui/RegionDialog.h"

#include "platform/ui/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

RegionDialog::RegionDialog(const SearchRegion& region, QWidget* parent)
    : QDialog(parent)
    , m_region(region)
{
    setObjectName(QStringLiteral("RegionDialog"));
    setWindowTitle(QStringLiteral("Регион проверки"));
    setMinimumWidth(420);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;

    CBYandex = new QComboBox(this);
    CBYandex->setObjectName(QStringLiteral("CBYandex"));
    CBYandex->addItem(QStringLiteral("не задан"), 0);
    for (const RegionEntry& entry : regionCatalog())
        CBYandex->addItem(QStringLiteral("%1 (%2)").arg(entry.name).arg(entry.id), entry.id);
    EYandex = new QLineEdit(this);
    EYandex->setObjectName(QStringLiteral("EYandex"));
    EYandex->setMaxLength(9);
    EYandex->setPlaceholderText(QStringLiteral("номер региона, например 213"));
    ECountry = new QLineEdit(this);
    ECountry->setObjectName(QStringLiteral("ECountry"));
    ECountry->setMaxLength(2);
    ECountry->setPlaceholderText(QStringLiteral("ru"));
    ELanguage = new QLineEdit(this);
    ELanguage->setObjectName(QStringLiteral("ELanguage"));
    ELanguage->setMaxLength(8);
    ELanguage->setPlaceholderText(QStringLiteral("ru"));
    form->addRow(QStringLiteral("Регион Яндекса:"), CBYandex);
    form->addRow(QStringLiteral("Номер региона (lr):"), EYandex);
    form->addRow(QStringLiteral("Страна Google (gl):"), ECountry);
    form->addRow(QStringLiteral("Язык Google (hl):"), ELanguage);
    layout->addLayout(form);
    auto* note
        = new QLabel(QStringLiteral("Пустое поле — эта часть региона не задана. Регион подставляется в "
                                    "запросы там, где описания поисковых систем его используют."),
            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    Buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(Buttons);
    connect(Buttons, &QDialogButtonBox::accepted, this, &RegionDialog::accept);
    connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    EYandex->setText(region.yandex ? QString::number(region.yandex) : QString());
    idTyped(EYandex->text());
    ECountry->setText(region.googleCountry);
    ELanguage->setText(region.googleLanguage);
    connect(CBYandex, &QComboBox::activated, this, &RegionDialog::regionPicked);
    connect(EYandex, &QLineEdit::textEdited, this, &RegionDialog::idTyped);
}

// A region of the list is Russian: Google's empty fields take Russia and Russian with it.
void RegionDialog::regionPicked(int index)
{
    const int id = CBYandex->itemData(index).toInt();
    EYandex->setText(id ? QString::number(id) : QString());
    if (id && ECountry->text().isEmpty() && ELanguage->text().isEmpty()) {
        ECountry->setText(QStringLiteral("ru"));
        ELanguage->setText(QStringLiteral("ru"));
    }
}

// The list shows the typed id's region, or nothing for an id it does not name.
void RegionDialog::idTyped(const QString& text)
{
    const QString id = text.trimmed();
    bool number = false;
    const int value = id.toInt(&number);
    CBYandex->setCurrentIndex(id.isEmpty() ? 0 : (number && value > 0 ? CBYandex->findData(value) : -1));
}

void RegionDialog::accept()
{
    QString problem;
    const std::optional<SearchRegion> region
        = regionFromInput(EYandex->text(), ECountry->text(), ELanguage->text(), &problem);
    if (!region) {
        Prompts::instance().message(this, problem);
        return;
    }
    m_region = *region;
    QDialog::accept();
}
