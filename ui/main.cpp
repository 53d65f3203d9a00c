// wintarvo: the desktop program. Its command line holds at most a record file to open at
// start-up (see program_arguments.h); no settings are read, and of the environment only
// XDG_RUNTIME_DIR, which tells where the running copies of this user meet; standard output
// carries the debug trace. SIGTERM and SIGHUP close it as Exit does, with status 0; SIGINT
// too, with status 130.
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>
#include <QString>

#include "ui/app_shell.h"
#include "ui/channel_broadcast.h"
#include "ui/command_ids.h"
#include "ui/desktop_services.h"
#include "ui/interlink/broadcast_channel.h"
#include "ui/main_frame.h"
#include "ui/program_arguments.h"
#include "ui/signal_watcher.h"
#include "ui/version_info.h"

namespace {

std::vector<std::string> argumentsOf(int argc, char* argv[]) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

QString versionText() {
    return QString("%1.%2.%3.%4")
        .arg(wintarvo::FILE_VERSION[0])
        .arg(wintarvo::FILE_VERSION[1])
        .arg(wintarvo::FILE_VERSION[2])
        .arg(wintarvo::FILE_VERSION[3]);
}

}  // namespace

int main(int argc, char* argv[]) {
    using wintarvo::ProgramArguments;
    // --help and --version need no display, so they are answered before the toolkit starts.
    const ProgramArguments early = wintarvo::parseProgramArguments(argumentsOf(argc, argv));
    if (early.action == ProgramArguments::Action::Help) {
        std::cout << wintarvo::PROGRAM_HELP;
        return 0;
    }
    if (early.action == ProgramArguments::Action::Version) {
        std::cout << "wintarvo " << versionText().toStdString() << '\n';
        return 0;
    }

    QApplication app(argc, argv);
    // What is left once the toolkit has taken its own options.
    const ProgramArguments arguments = wintarvo::parseProgramArguments(argumentsOf(argc, argv));
    if (arguments.action == ProgramArguments::Action::Error) {
        std::cerr << "wintarvo: " << arguments.error << " (try --help)\n";
        return 2;
    }
    QApplication::setApplicationName(wintarvo::PROGRAM_NAME);
    QApplication::setApplicationVersion(versionText());
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
        if (arguments.file) wintarvo::openAtStartUp(frame, *arguments.file);
    });
    return signalWatcher.exitStatus(status);
}
