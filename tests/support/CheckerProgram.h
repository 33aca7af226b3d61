#pragma once

#include <QProcessEnvironment>
#include <QString>

// The built kestrova-check: KS_CHECK_BIN, else the one beside the test folder.
QString checkerProgram();

// The environment a checker under test runs in: the sandbox's endpoints, the settings in a folder
// of the test, Russian formats.
QProcessEnvironment checkerEnvironment(const QString& endpointsFile, const QString& configHome);
