#pragma once

class QApplication;

// The program from its start to its end: the endpoint configuration, the main window and the
// message loop. Returns the process exit code.
int runProgram(QApplication& application);
