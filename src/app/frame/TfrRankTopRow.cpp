#include "app/frame/Logo.h"
#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"
#include "platform/ui/FrameLook.h"
#include "platform/ui/LinkLabel.h"
#include "platform/ui/Placement.h"

#include <QLineEdit>

namespace {

ResultCell* metricCell(QWidget* parent, const QString& name, const QString& caption, int left)
{
    Placement::label(parent, caption, { left, 10 });
    ResultCell* cell = ResultCell::place(parent, name, { left, 27, 59, 21 });
    cell->setBackgroundColor(FrameLook::cream);
    return cell;
}

} // namespace

void TfrRank::buildTopRow()
{
    Placement::label(this, QStringLiteral("Адрес контролируемого сайта"), { 8, 10 });
    edWEB = Placement::edit(this, QStringLiteral("edWEB"), { 10, 27, 460, 21 });
    QPalette webPalette = edWEB->palette();
    webPalette.setColor(QPalette::Base, FrameLook::moneyGreen);
    edWEB->setPalette(webPalette);

    QFont bold = font();
    bold.setBold(true);
    stGooglePR = metricCell(this, QStringLiteral("stGooglePR"), QStringLiteral("Google PR"), 491);
    stGooglePR->setFont(bold);
    stYandexCY = metricCell(this, QStringLiteral("stYandexCY"), QStringLiteral("Yandex CY"), 561);
    stYandexCY->setFont(bold);
    stTime = metricCell(this, QStringLiteral("stTime"), QStringLiteral("Время проекта:"), 643);
    stTime->setTextColor(Qt::red);
    stTime->setText(QStringLiteral("0:00:00"));

    JvImage1 = new LinkLabel(this);
    JvImage1->setObjectName(QStringLiteral("JvImage1"));
    JvImage1->setGeometry(762, 12, 191, 36);
    JvImage1->setPixmap(drawLogo(JvImage1->size()));
    JvImage1->setToolTip(QStringLiteral("Сайт разработчика"));
    connect(JvImage1, &LinkLabel::clicked, this, &TfrRank::JvImage1Click);
}
