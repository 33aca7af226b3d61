#include "support/ProjectFiles.h"

#include "platform/CodePage.h"

#include <QFile>

QByteArray projectFileBytes(const TestProject& project)
{
    QString text;
    const auto section = [&text](const QString& component, const QString& line) {
        text += QStringLiteral("[%1: TcxPropertiesStoreComponent]\r\n=\r\n%2\r\n\r\n").arg(component, line);
    };
    for (const char* engine : { "AportRu", "GoogleCom", "GoogleRu", "MSNCom", "RamblerRu", "YandexRu" }) {
        const bool on = project.checked.contains(QLatin1String(engine));
        section(QStringLiteral("CheckBox") + QLatin1String(engine),
            on ? QStringLiteral("Checked=\"True\"") : QStringLiteral("Checked=\"False\""));
    }
    for (int n = 1; n <= 7; ++n)
        section(QStringLiteral("edKeyWord%1").arg(n),
            QStringLiteral("Text=\"%1\"").arg(project.keywords.value(n - 1)));
    section(QStringLiteral("edWEB"), QStringLiteral("Text=\"%1\"").arg(project.site));
    return CodePage::toAnsi(text);
}

bool writeProjectFile(const QString& path, const TestProject& project)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(projectFileBytes(project)) >= 0 && file.flush();
}
