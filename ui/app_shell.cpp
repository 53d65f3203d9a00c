#include "ui/app_shell.h"

#include <QApplication>

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

}  // namespace wintarvo
