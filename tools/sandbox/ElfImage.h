#pragma once

#include <QByteArray>
#include <QList>

// A minimal ELF file with the sections given (and the section name table): the sandbox's update
// file, and the version reader's tests: 32 or 64 bits, either byte order. Fields can be spoiled
// after building.
struct ElfImage {
    struct Section {
        QByteArray name;
        QByteArray content;
    };

    bool wide = true;
    bool bigEndian = false;
    quint16 machine = 0; // e_machine; 0: none
    // With one loadable segment over the whole file and its entry at the first section, as a
    // program has; without, the file only carries its sections.
    bool loadable = false;
    QList<Section> sections;

    QByteArray build() const;

    // Where the header keeps the section table's offset, entry size, count and name index.
    int sectionTableOffsetField() const { return wide ? 40 : 32; }
    int sectionCountField() const { return wide ? 60 : 48; }
    int namesIndexField() const { return wide ? 62 : 50; }
    // Where section header `index` keeps its offset and size.
    qsizetype sectionHeaderAt(const QByteArray& image, int index) const;
    int offsetField() const { return wide ? 24 : 16; }
    int sizeField() const { return wide ? 32 : 20; }

    void put(QByteArray& image, qsizetype at, quint64 value, int width) const;
};
