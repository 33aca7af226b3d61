#include "app/check/CheckArguments.h"
#include "app/check/Checker.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Kestrova Sertrix"));
    QFile out, err;
    if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)
        || !err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered))
        return kExitError;
    const QStringList arguments = app.arguments().mid(1);
    hidePasswordArguments(argc, argv);
    return runChecker(arguments, out, err);
}
