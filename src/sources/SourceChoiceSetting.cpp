#include "sources/SourceChoiceSetting.h"

#include "platform/UserSettings.h"
#include "rank/lookup/Engine.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

const char kGroup[] = "Sources";
const char kWordstat[] = "Wordstat";

// Source codes are short words of small Latin letters, digits and hyphens.
QString sourceCode(const QVariant& value)
{
    static const QRegularExpression code(QStringLiteral("^[a-z0-9][a-z0-9-]{0,39}$"));
    const QString text = value.toString();
    return code.match(text).hasMatch() ? text : QString();
}

} // namespace

SourceChoice SourceChoiceSetting::load()
{
    SourceChoice choice;
    UserSettings user;
    if (!user.settings())
        return choice;
    QSettings& stored = *user.settings();
    stored.beginGroup(QLatin1String(kGroup));
    for (std::size_t i = 0; i < kEngines.size(); ++i)
        choice.engines[i] = sourceCode(stored.value(engineKey(kEngines[i])));
    choice.wordstat = sourceCode(stored.value(QLatin1String(kWordstat)));
    return choice;
}

QString SourceChoiceSetting::save(const SourceChoice& choice)
{
    UserSettings user;
    if (!user.prepareWrite())
        return QStringLiteral("Не удалось записать настройки в %1: %2")
            .arg(UserSettings::location(), user.problem());
    QSettings& stored = *user.settings();
    stored.beginGroup(QLatin1String(kGroup));
    auto keep = [&stored](const QString& key, const QString& code) {
        if (sourceCode(code).isEmpty())
            stored.remove(key);
        else
            stored.setValue(key, code);
    };
    for (std::size_t i = 0; i < kEngines.size(); ++i)
        keep(engineKey(kEngines[i]), choice.engines[i]);
    keep(QLatin1String(kWordstat), choice.wordstat);
    stored.endGroup();
    if (!user.sync())
        return QStringLiteral("Не удалось записать настройки в %1: %2")
            .arg(UserSettings::location(), user.problem());
    return {};
}
