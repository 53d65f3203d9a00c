// wintarvo: the desktop program. No command-line options or settings are read, and of the
// environment only XDG_RUNTIME_DIR, which tells where the running copies of this user meet;
// standard output carries the debug trace. SIGTERM and SIGHUP close it as Exit does, with
// status 0; SIGINT too, with status 130.
#include <QApplication>
#include <QString>

#include "ui/app_shell.h"
#include "ui/channel_broadcast.h"
#include "ui/command_ids.h"
#include "ui/desktop_services.h"
#include "ui/interlink/broadcast_channel.h"
#include "ui/main_frame.h"
#include "ui/signal_watcher.h"
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
    // SIGTERM, SIGHUP and SIGINT close the program as Exit does (before the channel opens, so
    // a copy that has joined the others also leaves them cleanly).
    wintarvo::SignalWatcher signalWatcher;

    wintarvo::QtDesktopServices desktop;
    // Interlinked Mode's link to the other running copies of this user. When the per-user
    // folder cannot be used, the channel says why in the trace and the program runs without
    // it: its engine moves go nowhere and nothing arrives.
    wintarvo::BroadcastChannel channel;
    channel.open();
    wintarvo::ChannelBroadcast broadcast(channel);
    const int status = wintarvo::runMainFrame(desktop, broadcast, [&](wintarvo::MainFrame& frame) {
        signalWatcher.setCloseAction([&frame] { frame.onCommand(wintarvo::ID_EXIT); });
    });
    return signalWatcher.exitStatus(status);
}
