#include "rank/frame/TfrRank.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestrova Sertrix");

    QMainWindow window;
    window.setWindowTitle("Kestrova Sertrix");
    auto* frame = new TfrRank(&window);
    frame->ResetProject();
    window.setCentralWidget(frame);
    window.show();
    return app.exec();
}
