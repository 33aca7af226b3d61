#include "app/ui/Startup.h"

#include "app/ui/TfmMain.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/QtTranslation.h"
#include "net/Endpoints.h"

#include <QApplication>

int runProgram(QApplication& application)
{
    QApplication::setApplicationName(QStringLiteral("Kestrova Sertrix"));
    installRussianQtTranslation(application);
    try {
        Endpoints::current();
    } catch (const EEndpoints& error) {
        Prompts::instance().error(nullptr, QString::fromUtf8(error.what()));
        return 1;
    }
    TfmMain fmMain;
    fmMain.show();
    return application.exec();
}
