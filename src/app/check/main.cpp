#include "app/check/CheckArguments.h"
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
    const QStringList arguments = app.arguments().mid(1);
    if (const auto unreadable = argumentThatIsNoText(argc, argv)) {
        err.write("kestrova-check: аргумент \"" + unreadable->toPercentEncoding("/ ._-")
            + "\" — не текст в UTF-8; дайте файлу имя в UTF-8\n");
        return kExitUsage;
    }
    hidePasswordArguments(argc, argv);
    return runChecker(arguments, out, err);
}
