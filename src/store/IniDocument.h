#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

// An INI-form text held in memory, read and written whole. Section names and keys are found
// without regard to letter case; sections and keys keep their order.
class IniDocument {
public:
    struct Entry {
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        void set(const QString& key, const QString& value);
    };

    // Lines are trimmed; empty lines and lines beginning with ';' are ignored, "[name]" opens a
    // section, "key=value" splits at the first '=' with both parts trimmed; lines before the first
    // section and lines without '=' are ignored.
    static IniDocument parse(const QString& text);
    // Every section as its header, its "key=value" lines and an empty line; CR LF after every line.
    QString text() const;

    // A project file of the program is under 2 KB; anything larger is not one.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    // Reads the file in Windows-1251; a missing file is an empty document.
    // Throws EPropertiesStore "Cannot open file "%s". %s" when the file exists but cannot be read,
    // is not a regular file or is larger than kMaxFileBytes.
    static IniDocument load(const QString& path);
    // Replaces the file at once: the new text goes to a temporary file beside it that is then
    // renamed over it. Throws EPropertiesStore "Cannot create file "%s". %s".
    void save(const QString& path) const;

    const Section* find(const QString& name) const;
    Section& section(const QString& name); // found or appended
    void clear() { m_sections.clear(); }
    const std::vector<Section>& sections() const { return m_sections; }

private:
    std::vector<Section> m_sections;
};
