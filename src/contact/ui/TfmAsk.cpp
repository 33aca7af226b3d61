#include "contact/ui/TfmAsk.h"

#include "net/CookieStore.h"
#include "net/Endpoints.h"
#include "net/HttpClient.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/Placement.h"
#include "platform/ui/Prompts.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

namespace {

const QString kSent = QStringLiteral("Заявка успешно отправленна.");
const QString kFailed = QStringLiteral("Ошибка при отправке заявки!");

constexpr int kEditWidth = 276;

} // namespace

TfmAsk::TfmAsk(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fmAsk"));
    setWindowTitle(QStringLiteral("Заказать продвижение сайта по ROZ"));
    setFont(FrameLook::frameFont());
    setFixedSize(ClientWidth, ClientHeight);
    setModal(true);

    buildContactGroup();
    buildKeywordGroup();

    Button1 = new QPushButton(QStringLiteral("Отправить"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry((ClientWidth - 136) / 2, 354, 136, 27);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &TfmAsk::Button1Click);

    IdCookieManager = std::make_unique<CookieStore>();
    HTTP = std::make_unique<HttpClient>(*IdCookieManager, HttpVersion::Http10);
}

TfmAsk::~TfmAsk() = default;

void TfmAsk::buildContactGroup()
{
    GroupBox1 = Placement::group(
        this, QStringLiteral("GroupBox1"), QStringLiteral(" Контактные данные "), { 8, 8, 300, 336 });
    const std::pair<const char*, QString> rows[] = {
        { "Edit1", QStringLiteral("Введите Ваше имя:") },
        { "Edit2", QStringLiteral("Введите контактный e-mail:") },
        { "Edit3", QStringLiteral("Адрес веб-сайта компании:") },
        { "Edit4", QStringLiteral("Введите номер контактного телефона:") },
    };
    QLineEdit** edits[] = { &Edit1, &Edit2, &Edit3, &Edit4 };
    for (int i = 0; i < 4; ++i) {
        const int top = 20 + 42 * i;
        QLabel* label = Placement::label(GroupBox1, rows[i].second, { 12, top });
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        *edits[i]
            = Placement::edit(GroupBox1, QLatin1String(rows[i].first), { 12, top + 16, kEditWidth, 21 });
    }
    QLabel* comment
        = Placement::label(GroupBox1, QStringLiteral(" Дополнительные комментарии к запросу:"), { 10, 188 });
    comment->setObjectName(QStringLiteral("Label5"));
    Memo1 = new QPlainTextEdit(GroupBox1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(12, 204, kEditWidth, 120);
    Memo1->setTabChangesFocus(true);
}

void TfmAsk::buildKeywordGroup()
{
    GroupBox2 = Placement::group(this, QStringLiteral("GroupBox2"),
        QStringLiteral(" Введите ваши основные ключевые слова или словосочетания: "), { 316, 8, 366, 336 });
    QLineEdit** edits[] = { &Edit5, &Edit6, &Edit7, &Edit8, &Edit9, &Edit10, &Edit11 };
    for (int n = 1; n <= PromotionFields::KeywordCount; ++n) {
        const int top = 36 + 40 * (n - 1);
        QLabel* label = Placement::label(GroupBox2, QStringLiteral("%1.").arg(n), { 14, top + 4 });
        label->setObjectName(QStringLiteral("Label%1").arg(5 + n));
        *edits[n - 1] = Placement::edit(GroupBox2, QStringLiteral("Edit%1").arg(4 + n), { 34, top, 318, 21 });
        m_keywordEdits[n - 1] = *edits[n - 1];
    }
}

TfmAsk& TfmAsk::of(QWidget* mainWindow)
{
    if (auto* form = mainWindow->findChild<TfmAsk*>(QString(), Qt::FindDirectChildrenOnly))
        return *form;
    return *new TfmAsk(mainWindow);
}

QLineEdit* TfmAsk::keywordEdit(int n) const
{
    return n >= 1 && n <= PromotionFields::KeywordCount ? m_keywordEdits[n - 1] : nullptr;
}

void TfmAsk::fillFrom(const Project& project, const ConnectionSettings& settings)
{
    Memo1->clear();
    Edit3->setText(project.site);
    for (int n = 1; n <= PromotionFields::KeywordCount; ++n)
        keywordEdit(n)->setText(project.keyword(n));
    HTTP->proxy() = proxyParamsFrom(settings);
}

void TfmAsk::openFrom(const Project& project, const ConnectionSettings& settings)
{
    fillFrom(project, settings);
    exec();
}

PromotionFields TfmAsk::fields() const
{
    PromotionFields fields;
    fields.name = Edit1->text();
    fields.mail = Edit2->text();
    fields.site = Edit3->text();
    fields.phone = Edit4->text();
    for (int n = 1; n <= PromotionFields::KeywordCount; ++n)
        fields.keywords[n - 1] = keywordEdit(n)->text();
    fields.comment = Memo1->toPlainText();
    return fields;
}

void TfmAsk::Button1Click()
{
    if (m_sending)
        return;
    QPointer<TfmAsk> self(this);
    Button1->setEnabled(false);
    m_sending = true;
    bool sent = false;
    try {
        PromotionRequest(fields()).send(*HTTP, Endpoints::current().Feedback);
        sent = true;
    } catch (const EHttpAborted&) {
        // The user cancelled the request by Escape or by closing the form.
    } catch (const std::exception&) {
        // Every failure gets the same message below.
    }
    if (!self)
        return;
    m_sending = false;
    Button1->setEnabled(true);
    if (m_cancelled) {
        m_cancelled = false;
        QDialog::reject();
        return;
    }
    if (sent) {
        QCoreApplication::processEvents();
        Prompts::instance().message(this, kSent);
    } else {
        Prompts::instance().message(this, kFailed);
    }
    accept();
}

void TfmAsk::reject()
{
    // Escape and closing the form cancel a request under way; the form closes once it has ended.
    if (!m_sending) {
        QDialog::reject();
        return;
    }
    m_cancelled = true;
    HTTP->abort();
}
