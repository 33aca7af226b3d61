#include "rank/api/Placeholders.h"

QByteArray fillPlaceholder(QByteArray text, const QByteArray& placeholder, const QByteArray& value)
{
    const qsizetype at = text.indexOf(placeholder);
    if (at >= 0)
        text.replace(at, placeholder.size(), value);
    return text;
}

QByteArray fillPlaceholders(
    const QByteArray& text, const QList<std::pair<QByteArray, QByteArray>>& placeholderValues)
{
    QByteArray filled;
    qsizetype at = 0;
    while (at < text.size()) {
        bool replaced = false;
        if (text[at] == '{') {
            for (const auto& [placeholder, value] : placeholderValues) {
                if (QByteArrayView(text).sliced(at).startsWith(placeholder)) {
                    filled += value;
                    at += placeholder.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced)
            filled += text[at++];
    }
    return filled;
}
