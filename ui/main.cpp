// wintarvo: the desktop program. No command-line options, settings or environment are read;
// standard output carries the debug trace.
#include <QApplication>
#include <QString>

#include "ui/app_shell.h"
#include "ui/desktop_services.h"
#include "ui/move_broadcast.h"
#include "ui/version_info.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(wintarvo::PROGRAM_NAME);
    QApplication::setApplicationVersion(QString("%1.%2.%3.%4")
                                            .arg(wintarvo::FILE_VERSION[0])
                                            .arg(wintarvo::FILE_VERSION[1])
                                            .arg(wintarvo::FILE_VERSION[2])
                                            .arg(wintarvo::FILE_VERSION[3]));
    QGuiApplication::setDesktopFileName("wintarvo");
    // The frame ends the loop itself when it is closed.
    QApplication::setQuitOnLastWindowClosed(false);

    wintarvo::QtDesktopServices desktop;
    wintarvo::InProcessBroadcast broadcast;
    return wintarvo::runMainFrame(desktop, broadcast);
}
