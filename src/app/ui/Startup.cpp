#include "app/ui/Startup.h"

#include "app/ui/TfmMain.h"
#include "platform/ui/Prompts.h"
#include "net/Endpoints.h"
#include "update/ui/TfmUpDate.h"

#include <QApplication>

int runProgram(QApplication& application)
{
    QApplication::setApplicationName(QStringLiteral("Kestrova Sertrix"));
    try {
        Endpoints::current();
    } catch (const EEndpoints& error) {
        Prompts::instance().error(nullptr, QString::fromUtf8(error.what()));
        return 1;
    }
    TfmMain fmMain;
    TfmUpDate fmUpDate(&fmMain);
    fmMain.setUpdateForm(&fmUpDate);
    fmMain.show();
    return application.exec();
}
