// The program's run step: the one main frame, shown, the event loop, and the teardown in a
// fixed order.
//
// Runs on the user-interface thread inside a QApplication. The frame object is a local of the
// run step, so it outlives the loop: when the loop has ended (the window has been closed and
// the board view's window destroyed), the frame object is destroyed, first its board view
// (the game document, whose engine thread is stopped and joined), then its command state
// table.
#pragma once

#include <functional>
#include <string>

namespace wintarvo {

class DesktopServices;
class MainFrame;
class MoveBroadcast;

// Returns the event loop's exit code (0 after a normal close), or 0 without showing anything
// when the window cannot be made. started, if given, is called once the window is shown.
int runMainFrame(DesktopServices& desktop, MoveBroadcast& broadcast,
                 const std::function<void(MainFrame&)>& started = {});

// Opens the record file at path, exactly as File > Open does once its chooser has given the
// path, as soon as the event loop runs (so the window is drawn before any box about it).
void openAtStartUp(MainFrame& frame, const std::string& path);

}  // namespace wintarvo
