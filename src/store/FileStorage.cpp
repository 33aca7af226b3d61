#include "store/IniDocument.h"
#include "store/Storage.h"
#include "store/StoreError.h"

const QString kPropertiesStoreClassTag = QStringLiteral("TcxPropertiesStoreComponent");

namespace {

QString sectionName(const QString& objectName)
{
    return objectName + QStringLiteral(": ") + kPropertiesStoreClassTag;
}

bool holdsLineBreak(const QString& text)
{
    return text.contains(u'\r') || text.contains(u'\n');
}

// The value as a message shows it, its line breaks visible.
QString shown(QString text)
{
    return text.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
}

class FileReader : public StorageReader {
public:
    explicit FileReader(const QString& path)
        : m_document(IniDocument::load(path))
    {
    }

    std::vector<StoredEntry> entries(const QString& objectName) override
    {
        std::vector<StoredEntry> found;
        if (const IniDocument::Section* section = m_document.find(sectionName(objectName)))
            for (const IniDocument::Entry& entry : section->entries)
                found.push_back({ entry.key, decodeStoredText(entry.value, true) });
        return found;
    }

private:
    IniDocument m_document;
};

class FileWriter : public StorageWriter {
public:
    FileWriter(const QString& path, bool recreate)
        : m_path(path)
        , m_document(IniDocument::load(path))
    {
        if (recreate)
            m_document.clear();
    }

    void beginObject(const QString& objectName) override
    {
        m_objectName = objectName;
        m_section = &m_document.section(sectionName(objectName));
        m_section->set(QString(), QString());
    }

    // A line break would end the value's line and could start a section of its own; the file is
    // written only at close(), so refusing here leaves the old file as it was.
    void write(const QString& property, const QString& text) override
    {
        if (holdsLineBreak(text))
            throw EPropertiesStore(QStringLiteral("Значение \"%1\" свойства %2.%3 не записано в файл "
                                                  "\"%4\": в значении не может быть перевода строки.")
                                       .arg(shown(text), m_objectName, property, m_path));
        m_section->set(property, u'"' + text + u'"');
    }

    void close() override { m_document.save(m_path); }

private:
    QString m_path;
    IniDocument m_document;
    IniDocument::Section* m_section = nullptr;
    QString m_objectName;
};

} // namespace

std::unique_ptr<StorageReader> openFileReader(const QString& path)
{
    return std::make_unique<FileReader>(path);
}

std::unique_ptr<StorageWriter> openFileWriter(const QString& path, bool recreate)
{
    return std::make_unique<FileWriter>(path, recreate);
}
