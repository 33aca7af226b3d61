#include "store/IniDocument.h"
#include "store/Storage.h"

const QString kPropertiesStoreClassTag = QStringLiteral("TcxPropertiesStoreComponent");

namespace {

QString sectionName(const QString& objectName)
{
    return objectName + QStringLiteral(": ") + kPropertiesStoreClassTag;
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
        m_section = &m_document.section(sectionName(objectName));
        m_section->set(QString(), QString());
    }

    void write(const QString& property, const StoredValue& value) override
    {
        m_section->set(property, encodeForFile(value));
    }

    void close() override { m_document.save(m_path); }

private:
    QString m_path;
    IniDocument m_document;
    IniDocument::Section* m_section = nullptr;
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
