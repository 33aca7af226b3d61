#include "StoreFixtures.h"

#include "rank/lookup/EngineTable.h"

#include <QFile>

FrameControls::FrameControls()
    : frame(std::make_unique<QWidget>())
{
    for (Engine engine : kEngines) {
        auto* box = new QCheckBox(frame.get());
        box->setObjectName(QStringLiteral("CheckBox") + engineKey(engine));
        box->setChecked(engineRow(engine).tickedInNewProject);
    }
    for (int n = 1; n <= 7; ++n)
        (new QLineEdit(frame.get()))->setObjectName(QStringLiteral("edKeyWord%1").arg(n));
    auto* site = new QLineEdit(QStringLiteral("http://"), frame.get());
    site->setObjectName(QStringLiteral("edWEB"));

    RBDefault = new QRadioButton(frame.get());
    RBDefault->setObjectName(QStringLiteral("RBDefault"));
    RBProxy = new QRadioButton(frame.get());
    RBProxy->setObjectName(QStringLiteral("RBProxy"));
    RBDefault->setChecked(true);
    GBProxy = new QGroupBox(frame.get());
    GBProxy->setObjectName(QStringLiteral("GBProxy"));
    GBProxy->setEnabled(false);
    GBUser = new QGroupBox(frame.get());
    GBUser->setObjectName(QStringLiteral("GBUser"));
    GBUser->setEnabled(false);
    for (const char* name : { "ProxyPass", "ProxyPort", "ProxyServer", "ProxyUser" })
        (new QLineEdit(GBProxy))->setObjectName(QLatin1String(name));
}

QCheckBox* FrameControls::checkBox(const char* engine) const
{
    return frame->findChild<QCheckBox*>(QStringLiteral("CheckBox") + QLatin1String(engine));
}

QLineEdit* FrameControls::edit(const QString& name) const
{
    return frame->findChild<QLineEdit*>(name);
}

void StoreTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", configRoot().toLocal8Bit());
}

void StoreTest::TearDown()
{
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}
