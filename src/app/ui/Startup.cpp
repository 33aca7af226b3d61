#include "app/ui/Startup.h"

#include "app/ui/TfmMain.h"
#include "contact/ui/TfmAbout.h"
#include "contact/ui/TfmAsk.h"
#include "net/Endpoints.h"
#include "platform/ProgramLocale.h"
#include "platform/ui/Prompts.h"
#include "platform/ui/QtTranslation.h"
#include "update/ui/TfmUpDate.h"

#include <QApplication>
#include <QIcon>

namespace {

// The installed theme's icon, else the one built into the program.
QIcon programIcon()
{
    QIcon icon;
    for (const int size : { 16, 32, 64, 256 })
        icon.addFile(QStringLiteral(":/icons/kestrova-sertrix-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("kestrova-sertrix"), icon);
}

} // namespace

int runProgram(QApplication& application)
{
    QApplication::setApplicationName(QStringLiteral("Kestrova Sertrix"));
    // The desktop entry and the window belong together (the task bar, start-up notification).
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tellvik.KestrovaSertrix"));
    QApplication::setWindowIcon(programIcon());
    installRussianQtTranslation(application);
    useProgramLocale();
    try {
        Endpoints::current();
    } catch (const EEndpoints& error) {
        Prompts::instance().error(nullptr, QString::fromUtf8(error.what()));
        return 1;
    }
    // One argument is a project file opened from the desktop; otherwise the program starts as always.
    const QStringList arguments = QCoreApplication::arguments();
    TfmMain fmMain(nullptr, arguments.size() == 2 ? arguments[1] : QString());
    // Owned by the main window, they live until the program ends.
    new TfmAbout(&fmMain);
    new TfmAsk(&fmMain);
    TfmUpDate fmUpDate(&fmMain);
    fmMain.setUpdateForm(&fmUpDate);
    fmMain.show();
    return application.exec();
}
