#include "app/check/HeadlessControls.h"

#include "rank/lookup/EngineTable.h"

#include "store/ProgramStores.h"
#include "store/PropertiesStore.h"

#include <QFileInfo>
#include <cerrno>

StoredCheck::StoredCheck(const QString& name, bool checked, QObject* parent)
    : QObject(parent)
    , m_checked(checked)
{
    setObjectName(name);
}

StoredGroup::StoredGroup(const QString& name, QObject* parent)
    : QObject(parent)
{
    setObjectName(name);
}

StoredEdit::StoredEdit(const QString& name, QObject* parent)
    : QObject(parent)
{
    setObjectName(name);
}

ProjectInputs readProjectFile(const QString& path)
{
    // The store reads a missing file as empty; here it is an error. Anything else that cannot be
    // read (a folder, a FIFO, a file too large) the store refuses itself, without opening it first.
    if (!QFileInfo::exists(path))
        throw EPropertiesStore(
            QStringLiteral("Cannot open file \"%1\". %2").arg(path, qt_error_string(ENOENT)));

    QObject frame;
    StoredCheck* checks[6];
    for (Engine engine : kEngines) {
        checks[int(engine)] = new StoredCheck(
            QStringLiteral("CheckBox") + engineKey(engine), engineRow(engine).tickedInNewProject, &frame);
    }
    StoredEdit* keywords[7];
    for (int n = 1; n <= 7; ++n)
        keywords[n - 1] = new StoredEdit(QStringLiteral("edKeyWord%1").arg(n), &frame);
    auto* site = new StoredEdit(QStringLiteral("edWEB"), &frame);

    TcxPropertiesStore store(&frame);
    ProgramStores::declareProjectFileItems(store, &frame, engineKeys());
    ProgramStores::loadProject(store, path);

    ProjectInputs inputs;
    inputs.site = site->text();
    for (StoredEdit* keyword : keywords)
        inputs.keywords << keyword->text();
    for (Engine engine : kEngines)
        inputs.checked[int(engine)] = checks[int(engine)]->isChecked();
    return inputs;
}

ConnectionSettings readRememberedSettings()
{
    QObject frame;
    new StoredCheck(QStringLiteral("RBDefault"), true, &frame);
    auto* proxy = new StoredCheck(QStringLiteral("RBProxy"), false, &frame);
    new StoredGroup(QStringLiteral("GBProxy"), &frame);
    new StoredGroup(QStringLiteral("GBUser"), &frame);
    auto* password = new StoredEdit(QStringLiteral("ProxyPass"), &frame);
    auto* port = new StoredEdit(QStringLiteral("ProxyPort"), &frame);
    auto* server = new StoredEdit(QStringLiteral("ProxyServer"), &frame);
    auto* user = new StoredEdit(QStringLiteral("ProxyUser"), &frame);

    TcxPropertiesStore store(&frame);
    ProgramStores::declareConnectionItems(store, &frame);
    store.RestoreProperties();

    ConnectionSettings settings;
    settings.useProxy = proxy->isChecked();
    settings.server = server->text();
    settings.port = port->text();
    settings.user = user->text();
    settings.password = password->text();
    return settings;
}
