#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>

// What both stores of the history need to read their texts fast.

// A check's time as both stores write it: UTC, "2026-12-07T12:30:05.000Z".
QString isoTime(const QDateTime& time);
QDateTime fromIsoTime(const QString& text);
// "2026-12-07T12:30:05.000Z" as the history writes it, read without QDateTime's parser, which
// would cost a long history most of its reading; any other form goes through that parser.
qint64 msecsOfIsoTime(QByteArrayView text);
QDateTime timeOfIsoText(QByteArrayView text);

// A long history repeats few texts (keywords, results, counts): each is made once and shared.
class TextPool {
public:
    QString text(QByteArrayView bytes);

private:
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };
    static constexpr std::size_t kMaxTexts = 4096;
    std::unordered_map<std::string, QString, Hash, std::equal_to<>> m_texts;
};
