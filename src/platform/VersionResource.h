#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The version information an executable carries in its ".ks_version" section (written at build
// time from cmake/VersionResource.cpp.in): values named by the paths of a Windows version
// resource, such as "\VarFileInfo\Translation" or "\StringFileInfo\041904E3\FileVersion".
class VersionResource {
public:
    static constexpr qint64 kMaxSize = 64 * 1024;

    // Empty when the file cannot be read, is no ELF file, or has no version section of a sane
    // size and form; never throws.
    static VersionResource ofFile(const QString& path);
    // The same from the bytes of a whole program file held in memory.
    static VersionResource ofImage(const QByteArray& image);
    // The same from the section's bytes.
    static VersionResource fromBytes(const QByteArray& section);

    bool isEmpty() const { return m_values.isEmpty(); }
    // The value stored under path, letters compared without regard to case; false when absent.
    bool query(const QString& path, QString* value) const;

    // The FileVersion string by the first translation entry; empty without version information,
    // translation entry or FileVersion string.
    QString fileVersion() const;

private:
    QHash<QString, QString> m_values; // by lower-case path
};

// The bytes of the named section of an ELF file (32 or 64 bits, either byte order); empty when
// the file has none, or when the section is larger than maxSize or reaches past the file's end.
QByteArray readElfSection(const QString& path, const QByteArray& name, qint64 maxSize);
// The same from the bytes of a whole file.
QByteArray readElfSectionOfImage(const QByteArray& image, const QByteArray& name, qint64 maxSize);
