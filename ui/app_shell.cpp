#include "ui/app_shell.h"

#include <QApplication>
#include <QTimer>

#include "ui/main_frame.h"

namespace wintarvo {

int runMainFrame(DesktopServices& desktop, MoveBroadcast& broadcast,
                 const std::function<void(MainFrame&)>& started) {
    // 2-4. The frame builds its board view and the game document in the starting position;
    //      the engine thread starts with the first request.
    MainFrame frame(desktop, broadcast);
    if (!frame.createWindow()) return 0;
    // 5-6.
    frame.show();
    if (started) started(frame);
    const int exitCode = QApplication::exec();
    // 7-9. The frame object goes when this returns.
    return exitCode;
}

void openAtStartUp(MainFrame& frame, const std::string& path) {
    QTimer::singleShot(0, frame.window(), [&frame, path] { frame.boardView().onOpenGame(path); });
}

}  // namespace wintarvo
