// A board view in a window of its own for tests: a parent widget with the status line, the
// view's window at a chosen size (300 x 300 pixels gives squares of 30), fake desktop
// contacts, and helpers to click squares and wait for the engine without ever blocking.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include <QImage>
#include <QString>
#include <QWidget>

#include "model/square.h"
#include "support/fake_desktop.h"
#include "ui/board_view.h"
#include "ui/status_line.h"

// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace wintarvo::testing {

// Processes events until done() holds or timeoutMs passes; false on time-out.
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 120000);

// Square from its name ("A10").
Square sq(const char* name);

class ViewHarness {
  public:
    // The view's limits start at 1 ply and no time limit, so answers come at once.
    explicit ViewHarness(int side = 300);
    ~ViewHarness();

    // A left (or other) button click at the centre of the square, through the window.
    void click(Square square, Qt::MouseButton button = Qt::LeftButton);
    void click(const char* square, Qt::MouseButton button = Qt::LeftButton) {
        click(sq(square), button);
    }
    // Three clicks.
    void enter(const char* from, const char* to, const char* arrow);
    QString status() const { return status_->text(); }
    bool waitForAnswer() {
        return waitUntil([this] { return !view.thinking(); });
    }
    // What the window shows now.
    QImage grab();
    QWidget* window() { return view.window(); }

    FakeDesktop desktop;
    RecordingBroadcast broadcast;
    QWidget parent;
    BoardView view;

  private:
    StatusLine* status_;
};

}  // namespace wintarvo::testing
