#include "ElfImage.h"

namespace {

int headerSize(bool wide)
{
    return wide ? 64 : 52;
}

int entrySize(bool wide)
{
    return wide ? 64 : 40;
}

int segmentEntrySize(bool wide)
{
    return wide ? 56 : 32;
}

} // namespace

void ElfImage::put(QByteArray& image, qsizetype at, quint64 value, int width) const
{
    for (int i = 0; i < width; ++i) {
        const int shift = 8 * (bigEndian ? width - 1 - i : i);
        image[at + i] = char((value >> shift) & 0xFF);
    }
}

QByteArray ElfImage::build() const
{
    // Section 0 is the null section; then the given ones; the name table last.
    QByteArray names(1, '\0');
    QList<quint64> nameOffsets;
    for (const Section& section : sections) {
        nameOffsets << quint64(names.size());
        names += section.name + '\0';
    }
    const quint64 namesName = quint64(names.size());
    names += ".shstrtab";
    names += '\0';

    QByteArray image(headerSize(wide) + (loadable ? segmentEntrySize(wide) : 0), '\0');
    image[0] = 0x7F;
    image[1] = 'E';
    image[2] = 'L';
    image[3] = 'F';
    image[4] = char(wide ? 2 : 1);
    image[5] = char(bigEndian ? 2 : 1);
    image[6] = 1;
    QList<quint64> offsets;
    for (const Section& section : sections) {
        offsets << quint64(image.size());
        image += section.content;
    }
    const quint64 namesOffset = quint64(image.size());
    image += names;
    while (image.size() % 8)
        image += '\0';

    const quint64 tableOffset = quint64(image.size());
    const int count = int(sections.size()) + 2;
    image += QByteArray(count * entrySize(wide), '\0');
    auto header = [&](int index, quint64 name, quint64 offset, quint64 size) {
        const qsizetype at = qsizetype(tableOffset) + index * entrySize(wide);
        put(image, at, name, 4);
        put(image, at + 4, 1, 4); // PROGBITS
        put(image, at + offsetField(), offset, wide ? 8 : 4);
        put(image, at + sizeField(), size, wide ? 8 : 4);
    };
    for (int i = 0; i < sections.size(); ++i)
        header(i + 1, nameOffsets[i], offsets[i], quint64(sections[i].content.size()));
    header(count - 1, namesName, namesOffset, quint64(names.size()));

    put(image, 16, 2, 2); // executable
    put(image, 18, machine, 2);
    put(image, 20, 1, 4);
    if (loadable) {
        const qsizetype segment = headerSize(wide);
        put(image, 24, offsets.isEmpty() ? quint64(segment) : offsets.first(), wide ? 8 : 4);
        put(image, wide ? 32 : 28, quint64(segment), wide ? 8 : 4);
        put(image, wide ? 54 : 42, quint64(segmentEntrySize(wide)), 2);
        put(image, wide ? 56 : 44, 1, 2);
        put(image, segment, 1, 4); // PT_LOAD
        put(image, segment + (wide ? 32 : 16), quint64(image.size()), wide ? 8 : 4); // file size
    }
    put(image, sectionTableOffsetField(), tableOffset, wide ? 8 : 4);
    put(image, wide ? 52 : 40, quint64(headerSize(wide)), 2);
    put(image, wide ? 58 : 46, quint64(entrySize(wide)), 2);
    put(image, sectionCountField(), quint64(count), 2);
    put(image, namesIndexField(), quint64(count - 1), 2);
    return image;
}

qsizetype ElfImage::sectionHeaderAt(const QByteArray& image, int index) const
{
    quint64 tableOffset = 0;
    const int width = wide ? 8 : 4;
    for (int i = 0; i < width; ++i) {
        const quint64 byte = static_cast<unsigned char>(image[sectionTableOffsetField() + i]);
        tableOffset |= byte << (8 * (bigEndian ? width - 1 - i : i));
    }
    return qsizetype(tableOffset) + index * entrySize(wide);
}
