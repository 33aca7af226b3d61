#include "app/check/Checker.h"
#include "platform/ProgramLocale.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrova Sertrix"));
    useProgramLocale();
    QFile out, err;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return kExitError;
    return runChecker(app.arguments().mid(1), out, err);
}
