#include "app/ui/ProgramApplication.h"

#include "platform/ui/Prompts.h"

#include <exception>

ProgramApplication::ProgramApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool ProgramApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        Prompts::instance().error(activeWindow(), QString::fromUtf8(error.what()));
    }
    return false;
}
