// The main frame: the program's one top-level window with its menu bar, toolbar, status bar,
// the board view and the twenty coordinate labels around the board.
//
// It turns menu, toolbar and keyboard commands into calls on the board view (which owns the
// game and the option values), into the file choosers or the About box; keeps the Options
// menu's check marks in its command state table and pushes them into menus as they open;
// keeps its size on a 20-pixel grid and lays out the board and labels in the client area (the
// window below the menu bar); and forwards announced moves to the board view.
//
// Owned by the program's run step (a local object outliving the event loop), on the
// user-interface thread. It filters the application's events the way a dialog manager does:
// Escape in the frame closes it at once, Enter does nothing. Closing hides the window,
// destroys the board view's window and ends the event loop; the board view object (the game
// document and the engine thread) and then the command state table go only when the frame
// object is destroyed after the loop.
#pragma once

#include <QEvent>
#include <QMainWindow>
#include <QObject>
#include <QPointer>
#include <QToolBar>
#include <QWidget>

#include "ui/board_view.h"
#include "ui/command_state_table.h"
#include "ui/frame_geometry.h"
#include "ui/status_line.h"

namespace wintarvo {

class DesktopServices;
class MoveBroadcast;

// A command that the frame posts to itself (the repeated steps of Back to Start and Forward
// to End), handled like one from the menu when the event loop comes to it.
class FrameCommandEvent : public QEvent {
  public:
    explicit FrameCommandEvent(int id) : QEvent(eventType()), id(id) {}
    static QEvent::Type eventType();

    const int id;
};

class MainFrame : public QObject {
    Q_OBJECT

  public:
    MainFrame(DesktopServices& desktop, MoveBroadcast& broadcast);
    ~MainFrame() override;

    // Builds the window (menus, labels, status bar, toolbar, board view), sets the default
    // options and the 240 x 320 size centred on the work area. False if no window could be
    // made; nothing is shown either way.
    bool createWindow();
    void show();
    // Closes at once: the window disappears, the board view's window is destroyed and the
    // event loop is told to end with 0.
    void destroyWindow();

    // Every command identifier of the menu, toolbar and keyboard; unknown ones do nothing.
    void onCommand(int id);
    void selectDepth(int id);
    void selectTime(int id);
    void setCheck(int id, bool checked);
    // Gives every action of menu (and of its sub-menus) the check mark of its table entry.
    void updateMenu(QWidget* menu);
    // The board-size rule for a client area of width x height, then the layout.
    void onClientSize(int width, int height);
    void layoutBoard();

    QMainWindow* window() const { return window_; }
    QWidget* clientArea() const { return client_; }
    QToolBar* toolBar() const { return toolBar_; }
    StatusLine* statusLine() const { return statusLine_; }
    BoardView& boardView() { return boardView_; }
    const CommandStateTable& commandStates() const { return commandStates_; }
    const BoardRect& boardRect() const { return board_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void createMenus();
    void createLabels();
    void createStatusBar();
    void createToolBar();
    void centreOnWorkArea();
    void toggle(bool& option, int id);
    bool belongsToFrame(QObject* object) const;

    DesktopServices& desktop_;
    MoveBroadcast& broadcast_;
    // Destroyed in reverse order: the board view first, then the command state table.
    CommandStateTable commandStates_;
    BoardView boardView_;
    QPointer<QMainWindow> window_;
    QPointer<QWidget> client_;
    QPointer<StatusLine> statusLine_;
    QPointer<QToolBar> toolBar_;
    BoardRect board_;
    // The last off-grid size the frame was corrected from, so that a window manager that
    // insists on a size is not argued with forever.
    QSize lastCorrectedSize_;
    bool destroying_ = false;
};

}  // namespace wintarvo
