#include "platform/gui/Shell.h"

#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QUrl>
#include <QtWidgets/QApplication>

#include "platform/gui/Application.h"

namespace {
TShellLauncher gLauncher;
TBeepHandler gBeep;
}  // namespace

bool ShellMayOpen(const std::string& target) {
    const QString t = QString::fromStdString(target);
    const QUrl url(t, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == "http" || scheme == "https")) return !url.host().isEmpty();
    if (url.isValid() && scheme == "mailto") return !url.path().isEmpty();
    if (scheme == "file") return QFileInfo(url.toLocalFile()).isFile();
    return QFileInfo(t).isFile();
}

intptr_t ShellExecute(HWND, const std::string& operation, const std::string& file, const std::string&,
    const std::string& directory, int) {
    if (!operation.empty() && operation != "open") return SE_ERR_NOASSOC;
    std::string target = file;
    if (!directory.empty() && QFileInfo(QString::fromStdString(file)).isRelative() &&
        QFileInfo(QString::fromStdString(directory + "/" + file)).isFile())
        target = directory + "/" + file;
    if (!ShellMayOpen(target)) return SE_ERR_FNF;
    const bool ok = gLauncher ? gLauncher(target)
                              : QProcess::startDetached(QStringLiteral("xdg-open"), {QString::fromStdString(target)});
    return ok ? 33 : SE_ERR_ACCESSDENIED;
}

void SetShellLauncher(TShellLauncher launcher) { gLauncher = std::move(launcher); }

bool MessageBeep(UINT type) {
    if (gBeep) gBeep(type);
    else {
        EnsureQtApplication();
        QApplication::beep();
    }
    return true;
}

void SetBeepHandler(TBeepHandler handler) { gBeep = std::move(handler); }
