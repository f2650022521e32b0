#pragma once
// Start-up timing hook for a Qt program. With KAROMIL_STARTUP_PROBE=<fd> in the environment,
// the first time the watched window (or any widget in it: a form's client may cover it whole)
// has been painted, the line "shown" is written to that file descriptor and quit is called.
// The start-up benchmark (bench/bench_startup.cpp) reads the line; without the variable nothing
// is watched. Qt only, so that the benchmark's minimal Qt program uses the same hook as the
// application (which reaches it through StartupProbe.h).

#include <unistd.h>

#include <QtCore/QEvent>
#include <QtCore/QObject>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <cstdlib>
#include <functional>
#include <string>

class TStartupProbe : public QObject {
public:
    // Watches the window when the variable names a descriptor; call before it is shown. The
    // window is asked for at each paint, since a form may make its top-level widget anew.
    // quit runs from the event loop; it must not throw.
    static void Watch(std::function<QWidget*()> window, std::function<void()> quit) {
        const char* fd = std::getenv("KAROMIL_STARTUP_PROBE");
        if (!fd || !*fd) return;
        qApp->installEventFilter(new TStartupProbe(std::move(window), std::atoi(fd), std::move(quit)));
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && !FFired && o->isWidgetType() &&
            static_cast<QWidget*>(o)->window() == FWindow()) {
            FFired = true;
            qApp->removeEventFilter(this);
            // Report once the paint event has been handled, not when it starts.
            QTimer::singleShot(0, this, [this] {
                const std::string line = "shown\n";
                if (::write(FFd, line.data(), line.size()) < 0) {}
                ::close(FFd);
                FQuit();
            });
        }
        return false;
    }

private:
    TStartupProbe(std::function<QWidget*()> window, int fd, std::function<void()> quit)
        : QObject(qApp), FWindow(std::move(window)), FFd(fd), FQuit(std::move(quit)) {}
    std::function<QWidget*()> FWindow;
    int FFd;
    std::function<void()> FQuit;
    bool FFired = false;
};
