#include "platform/ElfExecutable.h"

#include <QFile>

namespace {

constexpr quint16 kTypeExecutable = 2;
constexpr quint16 kTypeShared = 3; // also a position-independent executable
constexpr quint32 kSegmentLoad = 1;

class HeaderReader {
public:
    HeaderReader(const QByteArray& image, const ElfMachine& kind)
        : m_image(image)
        , m_wide(kind.elfClass == 2)
        , m_bigEndian(kind.byteOrder == 2)
    {
    }

    bool wide() const { return m_wide; }
    bool has(quint64 at, quint64 width) const { return at + width <= quint64(m_image.size()); }

    quint64 value(quint64 at, int width) const
    {
        quint64 result = 0;
        for (int i = 0; i < width; ++i) {
            const quint64 byte = static_cast<unsigned char>(m_image[qsizetype(at) + i]);
            result |= byte << (8 * (m_bigEndian ? width - 1 - i : i));
        }
        return result;
    }
    quint64 address(quint64 at) const { return value(at, m_wide ? 8 : 4); }

private:
    const QByteArray& m_image;
    bool m_wide;
    bool m_bigEndian;
};

bool hasLoadableSegment(const HeaderReader& header)
{
    const quint64 tableOffset = header.address(header.wide() ? 32 : 28);
    const quint64 entrySize = header.value(header.wide() ? 54 : 42, 2);
    const quint64 count = header.value(header.wide() ? 56 : 44, 2);
    if (entrySize < (header.wide() ? 56u : 32u) || count == 0 || !header.has(tableOffset, entrySize * count))
        return false;
    for (quint64 i = 0; i < count; ++i) {
        if (header.value(tableOffset + i * entrySize, 4) == kSegmentLoad)
            return true;
    }
    return false;
}

} // namespace

namespace ElfExecutable {

std::optional<ElfMachine> machineOf(const QByteArray& image)
{
    if (image.size() < 52
        || !image.startsWith("\x7f"
                             "ELF"))
        return std::nullopt;
    ElfMachine kind;
    kind.elfClass = quint8(image[4]);
    kind.byteOrder = quint8(image[5]);
    if ((kind.elfClass != 1 && kind.elfClass != 2) || (kind.byteOrder != 1 && kind.byteOrder != 2))
        return std::nullopt;
    if (kind.elfClass == 2 && image.size() < 64)
        return std::nullopt;
    kind.machine = quint16(HeaderReader(image, kind).value(18, 2));
    return kind;
}

std::optional<ElfMachine> running()
{
    QFile self(QStringLiteral("/proc/self/exe"));
    if (!self.open(QIODevice::ReadOnly))
        return std::nullopt;
    return machineOf(self.read(64));
}

bool runsHere(const QByteArray& image)
{
    const std::optional<ElfMachine> kind = machineOf(image);
    if (!kind || kind != running())
        return false;
    const HeaderReader header(image, *kind);
    const quint64 type = header.value(16, 2);
    if (type != kTypeExecutable && type != kTypeShared)
        return false;
    return header.address(24) != 0 && hasLoadableSegment(header);
}

} // namespace ElfExecutable
