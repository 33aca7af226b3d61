#include "app/frame/TfrRank.h"
#include "platform/ui/Placement.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace {

QRadioButton* radio(QWidget* parent, const QString& name, const QString& caption, QPoint at)
{
    auto* button = new QRadioButton(caption, parent);
    button->setObjectName(name);
    button->move(at);
    button->adjustSize();
    return button;
}

QLineEdit* labelledEdit(QWidget* parent, const QString& name, const QString& caption, int left, int width)
{
    Placement::label(parent, caption, { left, 20 });
    return Placement::edit(parent, name, { left, 36, width, 21 });
}

} // namespace

void TfrRank::buildConnectionGroup()
{
    QGroupBox* group = Placement::group(this, QStringLiteral("GBConnection"),
        QStringLiteral(" Настройки соединения: "), { 8, 367, 251, 243 });

    QGroupBox* kind = Placement::group(group, QStringLiteral("GBConnectionKind"),
        QStringLiteral(" Укажите тип соединения: "), { 8, 18, 235, 64 });
    RBDefault = radio(kind, QStringLiteral("RBDefault"), QStringLiteral("Прямое соединение"), { 12, 18 });
    RBProxy = radio(kind, QStringLiteral("RBProxy"), QStringLiteral("Через Proxy сервер"), { 12, 40 });
    RBDefault->setChecked(true);

    GBProxy = Placement::group(
        group, QStringLiteral("GBProxy"), QStringLiteral(" Настройки Proxy сервера "), { 8, 88, 235, 70 });
    ProxyServer
        = labelledEdit(GBProxy, QStringLiteral("ProxyServer"), QStringLiteral("Адрес сервера:"), 10, 150);
    ProxyPort = labelledEdit(GBProxy, QStringLiteral("ProxyPort"), QStringLiteral("Порт:"), 168, 57);

    GBUser = Placement::group(
        group, QStringLiteral("GBUser"), QStringLiteral(" Proxy Авторизация "), { 8, 164, 235, 70 });
    ProxyUser = labelledEdit(GBUser, QStringLiteral("ProxyUser"), QStringLiteral("Пользователь:"), 10, 107);
    ProxyPass = labelledEdit(GBUser, QStringLiteral("ProxyPass"), QStringLiteral("Пароль:"), 125, 100);

    GBProxy->setEnabled(false);
    GBUser->setEnabled(false);
    for (QRadioButton* button : { RBDefault, RBProxy }) {
        connect(button, &QRadioButton::clicked, this, &TfrRank::RBDefaultClick);
        connect(button, &QRadioButton::toggled, this, &TfrRank::RBDefaultClick);
    }
}
