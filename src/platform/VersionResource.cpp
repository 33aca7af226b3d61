#include "platform/VersionResource.h"

#include <QBuffer>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace {

const QByteArray kFormatLine = "KSVERSIONINFO 1";
const QByteArray kSectionName = ".ks_version";
constexpr quint32 kExtendedIndex = 0xFFFF; // SHN_XINDEX: the real index is in section 0

// Reads whole numbers of the file's byte order from a header that was read in full.
class FieldReader {
public:
    FieldReader(const QByteArray& bytes, bool bigEndian)
        : m_bytes(bytes)
        , m_bigEndian(bigEndian)
    {
    }

    quint64 at(qsizetype offset, int width) const
    {
        quint64 value = 0;
        for (int i = 0; i < width; ++i) {
            const quint64 byte = static_cast<unsigned char>(m_bytes[offset + i]);
            value |= byte << (8 * (m_bigEndian ? width - 1 - i : i));
        }
        return value;
    }

private:
    const QByteArray& m_bytes;
    bool m_bigEndian;
};

struct SectionHeader {
    quint64 nameOffset = 0;
    quint64 offset = 0;
    quint64 size = 0;
    quint64 link = 0;
};

class ElfFile {
public:
    explicit ElfFile(QIODevice& file)
        : m_file(file)
    {
    }

    QByteArray section(const QByteArray& name, qint64 maxSize)
    {
        if (!m_file.open(QIODevice::ReadOnly) || !readHeader())
            return {};
        SectionHeader first;
        if (m_sectionCount == 0 || m_namesIndex == kExtendedIndex) {
            // Extended numbering keeps the real figures in section 0.
            if (m_sectionTableOffset == 0 || !readSectionHeader(0, &first))
                return {};
            if (m_sectionCount == 0)
                m_sectionCount = first.size;
            if (m_namesIndex == kExtendedIndex)
                m_namesIndex = first.link;
        }
        // No real file has more sections than its size allows headers.
        if (m_sectionCount > quint64(m_file.size()) / m_entrySize)
            return {};
        SectionHeader names;
        if (m_namesIndex >= m_sectionCount || !readSectionHeader(m_namesIndex, &names))
            return {};
        for (quint64 i = 1; i < m_sectionCount; ++i) {
            SectionHeader header;
            if (!readSectionHeader(i, &header))
                return {};
            if (header.nameOffset >= names.size || nameAt(names, header.nameOffset) != name)
                continue;
            if (header.size > quint64(maxSize))
                return {};
            return readRange(header.offset, header.size);
        }
        return {};
    }

private:
    bool readHeader()
    {
        const QByteArray ident = m_file.read(16);
        if (ident.size() != 16
            || !ident.startsWith("\x7F"
                                 "ELF"))
            return false;
        m_wide = ident[4] == 2;
        if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2))
            return false;
        m_bigEndian = ident[5] == 2;
        const int headerSize = m_wide ? 64 : 52;
        const QByteArray header = readRange(0, headerSize);
        if (header.size() != headerSize)
            return false;
        const FieldReader field(header, m_bigEndian);
        if (m_wide) {
            m_sectionTableOffset = field.at(40, 8);
            m_entrySize = field.at(58, 2);
            m_sectionCount = field.at(60, 2);
            m_namesIndex = field.at(62, 2);
        } else {
            m_sectionTableOffset = field.at(32, 4);
            m_entrySize = field.at(46, 2);
            m_sectionCount = field.at(48, 2);
            m_namesIndex = field.at(50, 2);
        }
        return m_entrySize >= quint64(m_wide ? 64 : 40) && m_sectionTableOffset <= quint64(m_file.size());
    }

    bool readSectionHeader(quint64 index, SectionHeader* out)
    {
        const int size = m_wide ? 64 : 40;
        const QByteArray bytes = readRange(m_sectionTableOffset + index * m_entrySize, size);
        if (bytes.size() != size)
            return false;
        const FieldReader field(bytes, m_bigEndian);
        out->nameOffset = field.at(0, 4);
        if (m_wide) {
            out->offset = field.at(24, 8);
            out->size = field.at(32, 8);
            out->link = field.at(40, 4);
        } else {
            out->offset = field.at(16, 4);
            out->size = field.at(20, 4);
            out->link = field.at(24, 4);
        }
        return true;
    }

    // A section name runs to its terminating zero; names longer than the one asked for do not match.
    QByteArray nameAt(const SectionHeader& names, quint64 offset)
    {
        const quint64 fileSize = quint64(m_file.size());
        if (names.offset > fileSize || offset > fileSize)
            return {};
        const quint64 room = qMin<quint64>(names.size - offset, 256);
        const QByteArray bytes = readRange(names.offset + offset, room);
        const qsizetype end = bytes.indexOf('\0');
        return end < 0 ? QByteArray() : bytes.left(end);
    }

    // Exactly the bytes asked for, or nothing when the range leaves the file.
    QByteArray readRange(quint64 offset, quint64 size)
    {
        const quint64 fileSize = quint64(m_file.size());
        if (offset > fileSize || size > fileSize - offset || !m_file.seek(qint64(offset)))
            return {};
        const QByteArray bytes = m_file.read(qint64(size));
        return quint64(bytes.size()) == size ? bytes : QByteArray();
    }

    QIODevice& m_file;
    bool m_wide = false;
    bool m_bigEndian = false;
    quint64 m_sectionTableOffset = 0;
    quint64 m_entrySize = 0;
    quint64 m_sectionCount = 0;
    quint64 m_namesIndex = 0;
};

} // namespace

QByteArray readElfSection(const QString& path, const QByteArray& name, qint64 maxSize)
{
    QFile file(path);
    return ElfFile(file).section(name, maxSize);
}

QByteArray readElfSectionOfImage(const QByteArray& image, const QByteArray& name, qint64 maxSize)
{
    QBuffer buffer;
    buffer.setData(image);
    return ElfFile(buffer).section(name, maxSize);
}

VersionResource VersionResource::ofFile(const QString& path)
{
    return fromBytes(readElfSection(path, kSectionName, kMaxSize));
}

VersionResource VersionResource::ofImage(const QByteArray& image)
{
    return fromBytes(readElfSectionOfImage(image, kSectionName, kMaxSize));
}

VersionResource VersionResource::fromBytes(const QByteArray& section)
{
    VersionResource resource;
    const qsizetype end = section.indexOf('\0');
    const QString text = QString::fromUtf8(end < 0 ? section : section.left(end));
    QStringList lines = text.split(u'\n');
    if (lines.isEmpty() || lines.takeFirst() != QLatin1String(kFormatLine))
        return resource;
    for (const QString& line : std::as_const(lines)) {
        const qsizetype eq = line.indexOf(u'=');
        if (line.startsWith(u'\\') && eq > 0)
            resource.m_values.insert(line.left(eq).toLower(), line.mid(eq + 1));
    }
    return resource;
}

bool VersionResource::query(const QString& path, QString* value) const
{
    const auto found = m_values.constFind(path.toLower());
    if (found == m_values.constEnd())
        return false;
    *value = found.value();
    return true;
}

QString VersionResource::fileVersion() const
{
    // "LLLLCCCC": the language and the code page of the first translation entry, whose low half
    // is the language and high half the code page.
    QString entries;
    if (!query(QStringLiteral("\\VarFileInfo\\Translation"), &entries))
        return {};
    static const QRegularExpression entry(QStringLiteral("^\\s*([0-9A-Fa-f]{8})(?:\\s|$)"));
    const QRegularExpressionMatch first = entry.match(entries);
    if (!first.hasMatch())
        return {};
    const quint32 value = first.captured(1).toUInt(nullptr, 16);
    const QString table = QStringLiteral("%1%2")
                              .arg(value & 0xFFFF, 4, 16, QLatin1Char('0'))
                              .arg(value >> 16, 4, 16, QLatin1Char('0'))
                              .toUpper();
    QString version;
    if (!query(QStringLiteral("\\StringFileInfo\\") + table + QStringLiteral("\\FileVersion"), &version))
        return {};
    return version;
}
