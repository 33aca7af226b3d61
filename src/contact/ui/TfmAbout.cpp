#include "contact/ui/TfmAbout.h"

#include "contact/FileVersion.h"
#include "net/Endpoints.h"
#include "platform/ui/DesktopServices.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/LinkLabel.h"
#include "platform/ui/Placement.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kMakerPrefix = QStringLiteral("Разработка компании ");
const QString kMakerName = QStringLiteral("Tellvik");

QLabel* boldLabel(QWidget* parent, const QString& name, const QString& text, QPoint at)
{
    QLabel* label = Placement::label(parent, text, at);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->adjustSize();
    return label;
}

} // namespace

TfmAbout::TfmAbout(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setFont(FrameLook::frameFont());
    setFixedSize(ClientWidth, ClientHeight);
    setModal(true);

    GroupBox1 = Placement::group(
        this, QStringLiteral("GroupBox1"), QStringLiteral(" Информация "), { 8, 8, ClientWidth - 16, 182 });
    Label1 = boldLabel(
        GroupBox1, QStringLiteral("Label1"), QStringLiteral("Программа Kestrova Sertrix"), { 16, 22 });
    Label2 = Placement::label(GroupBox1, versionLine(QStringLiteral("1.3.2.62")), { 16, 42 });
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFixedWidth(ClientWidth - 48);
    Label3 = boldLabel(
        GroupBox1, QStringLiteral("Label3"), QStringLiteral("Авторы и разработчики:"), { 16, 68 });

    Label4 = new QLabel(GroupBox1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setTextFormat(Qt::PlainText);
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label4->setText(QStringLiteral("Алексей Кестров (идея и алгоритмы), Сергей Ровный (программирование), "
                                   "Мария Тельвик (интерфейс и тестирование)"));
    Label4->setGeometry(16, 86, ClientWidth - 48, 56);

    // The maker's name lies over the gap of blanks that Label5 leaves for it.
    const QString gap(kMakerName.size() + 4, u' ');
    Label5 = Placement::label(GroupBox1, kMakerPrefix + gap + QStringLiteral("© 2004–2008"), { 16, 152 });
    Label5->setObjectName(QStringLiteral("Label5"));
    Label6 = new LinkLabel(GroupBox1);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->setTextFormat(Qt::PlainText);
    Label6->setText(kMakerName);
    QFont linkFont = Label6->font();
    linkFont.setUnderline(true);
    Label6->setFont(linkFont);
    QPalette palette = Label6->palette();
    palette.setColor(QPalette::WindowText, FrameLook::linkBlue);
    Label6->setPalette(palette);
    Label6->adjustSize();
    Label6->move(
        Label5->x() + QFontMetrics(Label5->font()).horizontalAdvance(kMakerPrefix + u' '), Label5->y());
    connect(Label6, &LinkLabel::clicked, this, &TfmAbout::Label6Click);

    Button1 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry((ClientWidth - 100) / 2, 200, 100, 27);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

TfmAbout& TfmAbout::of(QWidget* mainWindow)
{
    if (auto* box = mainWindow->findChild<TfmAbout*>(QString(), Qt::FindDirectChildrenOnly))
        return *box;
    return *new TfmAbout(mainWindow);
}

void TfmAbout::setVersionOf(const QString& executablePath)
{
    Label2->setText(versionLine(GetFileVersionText(executablePath)));
}

void TfmAbout::showVersionOf(const QString& executablePath)
{
    setVersionOf(executablePath);
    exec();
}

QString TfmAbout::makerPageUrl()
{
    return QStringLiteral("http://%1/").arg(Endpoints::current().MakerSite);
}

void TfmAbout::Label6Click()
{
    DesktopServices::instance().openUrl(makerPageUrl());
}
