#pragma once

#include <QApplication>

// The application object: an error that no command catches is shown in the standard error box
// with its own text, and the program goes on running.
class ProgramApplication : public QApplication {
public:
    ProgramApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
