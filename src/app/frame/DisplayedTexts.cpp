#include "app/frame/DisplayedTexts.h"

#include "app/frame/ResultCell.h"
#include "app/frame/TfrRank.h"

#include <QLineEdit>
#include <stdexcept>

namespace {

template <typename Component> const Component& component(const TfrRank& frame, const QString& name)
{
    const auto* found = qobject_cast<const Component*>(frame.findComponent(name));
    if (!found)
        throw std::logic_error("the project frame has no component " + name.toStdString());
    return *found;
}

QString cellText(const TfrRank& frame, const QString& name)
{
    return component<ResultCell>(frame, name).text();
}

} // namespace

FrameTexts displayedTexts(const TfrRank& frame)
{
    FrameTexts texts;
    texts.site = component<QLineEdit>(frame, QStringLiteral("edWEB")).text();
    texts.googlePR = cellText(frame, QStringLiteral("stGooglePR"));
    texts.yandexCY = cellText(frame, QStringLiteral("stYandexCY"));
    for (int n = 1; n <= FrameTexts::KeywordCount; ++n) {
        const QString number = QString::number(n);
        texts.keywords[std::size_t(n - 1)]
            = component<QLineEdit>(frame, QStringLiteral("edKeyWord") + number).text();
        for (Engine engine : kEngines) {
            texts.rankText(engine, n) = cellText(frame, QStringLiteral("Rank") + engineKey(engine) + number);
            texts.countText(engine, n)
                = cellText(frame, QStringLiteral("Count") + engineKey(engine) + number);
        }
    }
    return texts;
}
