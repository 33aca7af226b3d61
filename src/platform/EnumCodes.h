#pragma once

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>
#include <array>
#include <optional>

// The stable codes of an enumeration whose values count from 0, in the order of the values: how
// every enumeration that a file, an output or the history keeps by name is written and read back.
template <typename Enum, std::size_t N> struct EnumCodes {
    std::array<const char*, N> codes;

    QString code(Enum value) const { return QLatin1StringView(codes.at(std::size_t(value))); }

    // The value a code names, compared byte for byte; nothing for a code no value has.
    std::optional<Enum> find(QByteArrayView code) const
    {
        for (std::size_t i = 0; i < N; ++i) {
            if (code == QByteArrayView(codes[i]))
                return Enum(i);
        }
        return std::nullopt;
    }
};
