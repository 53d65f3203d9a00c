#include "support/ui_harness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

namespace wintarvo::testing {

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) return false;
        QTest::qWait(5);
    }
    return true;
}

Square sq(const char* name) {
    return parseSquare(name);
}

ViewHarness::ViewHarness(int side) : view(desktop, broadcast), status_(new StatusLine(&parent)) {
    parent.resize(side + 20, side + 40);
    status_->setGeometry(0, side + 10, side + 20, 25);
    view.createWindow(&parent);
    view.window()->setGeometry(0, 0, side, side);
    view.depthLimit = 1;
    view.timeLimit = -1;
    parent.show();
    (void)QTest::qWaitForWindowExposed(&parent);
}

ViewHarness::~ViewHarness() {
    // An answer still on its way must not outlive the test: stop the search and let the
    // view's destruction join the thread.
    view.document().requestStop();
}

void ViewHarness::click(Square square, Qt::MouseButton button) {
    const int s = view.squareSize();
    const QPoint at(squareColumn(square) * s + s / 2, squareRow(square) * s + s / 2);
    QTest::mouseClick(view.window(), button, Qt::NoModifier, at);
}

void ViewHarness::enter(const char* from, const char* to, const char* arrow) {
    click(from);
    click(to);
    click(arrow);
}

QImage ViewHarness::grab() {
    return view.window()->grab().toImage();
}

}  // namespace wintarvo::testing
