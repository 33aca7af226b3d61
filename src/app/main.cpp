#include "app/ui/ProgramApplication.h"
#include "app/ui/Startup.h"

int main(int argc, char** argv)
{
    ProgramApplication application(argc, argv);
    return runProgram(application);
}
