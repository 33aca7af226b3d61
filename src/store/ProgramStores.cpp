#include "store/ProgramStores.h"

#include "platform/SystemErrorText.h"
#include "rank/lookup/EngineTable.h"
#include "rank/project/Project.h"
#include "store/PropertiesStore.h"

#include <QFileInfo>
#include <QObject>
#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace ProgramStores {

namespace {

const QString kChecked = QStringLiteral("Checked");
const QString kText = QStringLiteral("Text");
const QString kRegionObject = QStringLiteral("Region");

void addComponent(TcxPropertiesStore& store, QObject* owner, const QString& name, const QString& property)
{
    QObject* component = owner->findChild<QObject*>(name);
    if (!component)
        throw std::logic_error("property store: no component named " + name.toStdString());
    store.addComponentText(component, property);
}

QString regionProblem(const QString& key, const QString& text, const QString& need)
{
    return QStringLiteral("Регион в файле проекта не прочитан: %1=\"%2\" — %3.")
        .arg(key, text.left(40), need);
}

void addRegionPart(TcxPropertiesStore& store, const QString& key, std::function<QString()> read,
    std::function<void(const QString&)> assign)
{
    store.addProperty(kRegionObject,
        { key,
            [read] {
                const QString text = read();
                return text.isEmpty() ? std::nullopt : std::optional(text);
            },
            [assign](const StoredValue& stored) {
                // An empty value leaves the part unset, as one not written.
                if (const QString text = printedForm(stored); !text.isEmpty())
                    assign(text);
            } });
}

// The region has a section of its own, written only when a region is set: a project without one
// is saved as before, and a reader that knows no region passes the section over.
void declareRegionItems(TcxPropertiesStore& store, SearchRegion& region)
{
    addRegionPart(
        store, QStringLiteral("Yandex"),
        [&region] { return region.yandex ? QString::number(region.yandex) : QString(); },
        [&region](const QString& text) {
            bool number = false;
            const qint64 id = text.toLongLong(&number);
            if (!number || !SearchRegion::isYandexId(id) || text != QString::number(id))
                throw EPropertiesStore(regionProblem(QStringLiteral("Yandex"), text,
                    QStringLiteral("нужен номер региона Яндекса от 1 до %1")
                        .arg(SearchRegion::kMaxYandexId)));
            region.yandex = int(id);
        });
    addRegionPart(
        store, QStringLiteral("GoogleCountry"), [&region] { return region.googleCountry; },
        [&region](const QString& text) {
            if (!SearchRegion::isCountry(text))
                throw EPropertiesStore(regionProblem(QStringLiteral("GoogleCountry"), text,
                    QStringLiteral("нужен код страны из двух латинских букв")));
            region.googleCountry = text.toLower();
        });
    addRegionPart(
        store, QStringLiteral("GoogleLanguage"), [&region] { return region.googleLanguage; },
        [&region](const QString& text) {
            if (!SearchRegion::isLanguage(text))
                throw EPropertiesStore(regionProblem(QStringLiteral("GoogleLanguage"), text,
                    QStringLiteral("нужен код языка, например ru или pt-BR")));
            region.googleLanguage = text;
        });
}

void declareProjectItems(TcxPropertiesStore& store, Project& project, const QString& path, bool withRegion)
{
    // A project file lists the check boxes in the order of their names.
    std::array<Engine, kEngines.size()> byName = kEngines;
    std::sort(byName.begin(), byName.end(), [](Engine a, Engine b) { return engineKey(a) < engineKey(b); });
    for (Engine engine : byName)
        store.addBoolean(
            QStringLiteral("CheckBox") + engineKey(engine), kChecked, project.ticked[std::size_t(engine)]);
    for (int n = 1; n <= Project::KeywordCount; ++n)
        store.addText(QStringLiteral("edKeyWord%1").arg(n), kText, project.keyword(n));
    store.addText(QStringLiteral("edWEB"), kText, project.site);
    if (withRegion)
        declareRegionItems(store, project.region);
    store.SetStorageName(path);
}

void declareConnectionItems(TcxPropertiesStore& store, Connection& connection)
{
    store.addBoolean(QStringLiteral("RBDefault"), kChecked, connection.direct);
    store.addBoolean(QStringLiteral("RBProxy"), kChecked, connection.proxy);
    store.addBoolean(QStringLiteral("GBProxy"), QStringLiteral("Enabled"), connection.proxyGroup);
    store.addBoolean(QStringLiteral("GBUser"), QStringLiteral("Enabled"), connection.userGroup);
    store.addText(QStringLiteral("ProxyPass"), kText, connection.password);
    store.addText(QStringLiteral("ProxyPort"), kText, connection.port);
    store.addText(QStringLiteral("ProxyServer"), kText, connection.server);
    store.addText(QStringLiteral("ProxyUser"), kText, connection.user);
    store.SetStorageType(stRegistry);
    store.SetStorageName(kConnectionStore);
}

} // namespace

void loadProject(Project& project, const QString& path)
{
    TcxPropertiesStore store;
    // The region is the file's: a file without one clears it.
    if (QFileInfo::exists(path))
        project.region = {};
    declareProjectItems(store, project, path, true);
    store.RestoreProperties();
}

Project readProjectFile(const QString& path)
{
    // The store reads a missing file as empty; here it is an error. Anything else that cannot be
    // read (a folder, a FIFO, a file too large) the store refuses itself, without opening it first.
    if (!QFileInfo::exists(path))
        throw EPropertiesStore(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, systemErrorText(ENOENT)));
    Project project;
    loadProject(project, path);
    return project;
}

void saveProject(const Project& project, const QString& path)
{
    Project saved = project;
    TcxPropertiesStore store;
    declareProjectItems(store, saved, path, saved.region.isSet());
    store.StoreProperties(true);
}

void restoreConnection(Connection& connection)
{
    TcxPropertiesStore store;
    declareConnectionItems(store, connection);
    store.RestoreProperties();
}

void storeConnection(const Connection& connection)
{
    Connection stored = connection;
    TcxPropertiesStore store;
    declareConnectionItems(store, stored);
    store.StoreProperties(true);
}

void declareFileStoreItems(TcxPropertiesStore& store, QObject* mainWindow)
{
    addComponent(store, mainWindow, QStringLiteral("OpenDialog"), QStringLiteral("InitialDir"));
    addComponent(store, mainWindow, QStringLiteral("SaveDialog"), QStringLiteral("InitialDir"));
    store.SetStorageType(stRegistry);
    store.SetStorageName(kFileStore);
}

void declareVerStoreItems(TcxPropertiesStore& store, QObject* updateWindow)
{
    addComponent(store, updateWindow, QStringLiteral("lblUpDate"), QStringLiteral("Caption"));
    addComponent(store, updateWindow, QStringLiteral("lblVer"), QStringLiteral("Caption"));
    store.SetStorageType(stRegistry);
    store.SetStorageName(kVerStore);
}

} // namespace ProgramStores
