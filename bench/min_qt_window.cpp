// The yardstick of the start-up benchmark: a Qt program that shows one empty window, with the
// same start-up probe as the application.

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include "platform/gui/StartupProbeQt.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(1024, 600);
    TStartupProbe::Watch([&window] { return &window; }, [] { QCoreApplication::quit(); });
    window.show();
    return app.exec();
}
