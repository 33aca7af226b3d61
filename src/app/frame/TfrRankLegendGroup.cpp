#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/LinkLabel.h"
#include "platform/ui/Placement.h"

#include <QGroupBox>
#include <QLabel>

namespace {

struct LegendRow {
    const char* name;
    const char* sample;
    QColor background;
    QColor text;
    const char* explanation;
};

ResultCell* legendCell(QWidget* group, const LegendRow& row, int top)
{
    ResultCell* cell = ResultCell::place(group, QString::fromLatin1(row.name), { 14, top, 49, 21 });
    cell->setText(QString::fromLatin1(row.sample));
    cell->setBackgroundColor(row.background);
    cell->setTextColor(row.text);
    Placement::fitWidth(
        Placement::label(group, QString::fromUtf8(row.explanation), { 69, top + 4 }), 435 - 69 - 6);
    return cell;
}

LinkLabel* link(QWidget* group, const QString& name, const QString& caption, QPoint at)
{
    auto* label = new LinkLabel(group);
    label->setObjectName(name);
    label->setText(caption);
    QFont font = label->font();
    font.setBold(true);
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, FrameLook::linkBlue);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

void TfrRank::buildLegendGroup()
{
    QGroupBox* group = Placement::group(
        this, QStringLiteral("GBHelp"), QStringLiteral(" Справка "), { 534, 367, 435, 243 });
    const LegendRow rows[] = {
        { "StaticText2", "1", FrameLook::moneyGreen, FrameLook::windowText(),
            "- Таким цветом выделяются позиции первой страницы" },
        { "StaticText3", "18", FrameLook::skyBlue, FrameLook::windowText(),
            "- Таким цветом выделяются позиции второй страницы" },
        { "StaticText4", "58", FrameLook::navy, Qt::white,
            "- Таким цветом выделяются другие позиции после второй страницы" },
        { "StaticText5", "323", FrameLook::buttonFace(), FrameLook::windowText(),
            "- Значение Count = запросов в месяц" },
    };
    StaticText2 = legendCell(group, rows[0], 32);
    StaticText3 = legendCell(group, rows[1], 64);
    StaticText4 = legendCell(group, rows[2], 96);
    StaticText5 = legendCell(group, rows[3], 128);

    Label33
        = link(group, QStringLiteral("Label33"), QStringLiteral("Запрос на продвижение сайта"), { 14, 176 });
    Label34 = link(group, QStringLiteral("Label34"),
        QStringLiteral("Заказать продвижение сайта по этим словам"), { 14, 208 });
    connect(Label33, &LinkLabel::clicked, this, &TfrRank::Label33Click);
    connect(Label34, &LinkLabel::clicked, this, &TfrRank::Label34Click);
}
