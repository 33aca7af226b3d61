#include "platform/UserSettings.h"
#include "store/Storage.h"
#include "store/StoreError.h"

#include <QSettings>

namespace {

const QString kClassNameKey = QStringLiteral("[ClassName]");
const QString kClassNameValue = QStringLiteral("ClassName");
const QString kProgramKey = QStringLiteral("Tellvik\\Kestrova Sertrix\\");

// The storage name is a key path below the per-user root; the program's own key is where its
// settings are, so a store's group is the rest of the path ("PropertiesStore").
QString groupOf(QString storageName)
{
    if (storageName.startsWith(u'\\'))
        storageName.remove(0, 1);
    if (storageName.startsWith(kProgramKey, Qt::CaseInsensitive))
        storageName.remove(0, kProgramKey.size());
    return storageName.split(u'\\', Qt::SkipEmptyParts).join(u'/');
}

class RegistryReader : public StorageReader {
public:
    explicit RegistryReader(const QString& storageName)
        : m_group(groupOf(storageName))
    {
    }

    std::vector<StoredEntry> entries(const QString& objectName) override
    {
        // Settings that cannot be read are a missing key, as before any was stored.
        QSettings* settings = m_settings.settings();
        std::vector<StoredEntry> found;
        if (!settings || m_group.isEmpty() || objectName.isEmpty())
            return found;
        settings->beginGroup(m_group + u'/' + objectName);
        for (const QString& name : settings->childKeys()) {
            // Only texts are the program's; a value of another kind gives nothing.
            const QVariant value = settings->value(name);
            found.push_back({ name,
                value.typeId() == QMetaType::QString
                    ? std::optional(decodeStoredText(value.toString(), false))
                    : std::nullopt });
        }
        settings->endGroup();
        return found;
    }

private:
    UserSettings m_settings;
    QString m_group;
};

class RegistryWriter : public StorageWriter {
public:
    RegistryWriter(const QString& storageName, bool recreate)
        : m_storageName(storageName)
        , m_group(groupOf(storageName))
    {
        if (m_group.isEmpty() || !m_settings.prepareWrite())
            fail();
        if (recreate)
            m_settings.settings()->remove(m_group);
    }

    void beginObject(const QString& objectName) override
    {
        m_itemKey = m_group + u'/' + objectName;
        m_settings.settings()->setValue(
            m_itemKey + u'/' + kClassNameKey + u'/' + kClassNameValue, kPropertiesStoreClassTag);
    }

    void write(const QString& property, const QString& text) override
    {
        m_settings.settings()->setValue(m_itemKey + u'/' + property, QString(u'"' + text + u'"'));
    }

    void close() override
    {
        if (!m_settings.sync())
            fail();
    }

private:
    [[noreturn]] void fail() const
    {
        QString message = QStringLiteral("Can't create the registry key: \\%1").arg(m_storageName);
        if (!m_settings.problem().isEmpty())
            message += QStringLiteral(". ") + m_settings.problem();
        throw EPropertiesStore(message);
    }

    UserSettings m_settings;
    QString m_storageName;
    QString m_group;
    QString m_itemKey;
};

} // namespace

std::unique_ptr<StorageReader> openRegistryReader(const QString& storageName)
{
    return std::make_unique<RegistryReader>(storageName);
}

std::unique_ptr<StorageWriter> openRegistryWriter(const QString& storageName, bool recreate)
{
    return std::make_unique<RegistryWriter>(storageName, recreate);
}
