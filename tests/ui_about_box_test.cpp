// The About box: its contents, how it is placed, how it closes, and that engine answers keep
// arriving while a modal dialog runs its own loop.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/trace_capture.h"
#include "support/ui_harness.h"
#include "ui/about_box.h"
#include "ui/frame_geometry.h"

namespace wintarvo {
namespace {

TEST(Centring, CentresOnTheReferenceAndStaysInsideTheWorkArea) {
    const QRect work(0, 0, 800, 600);
    struct Row {
        const char* name;
        QRect reference;
        QPoint at;
    };
    const QSize box(200, 100);
    const Row rows[] = {
        {"centred", QRect(100, 100, 400, 300), QPoint(200, 200)},
        {"work area", work, QPoint(300, 250)},
        {"pushed right", QRect(-300, 100, 200, 100), QPoint(0, 100)},
        {"pushed down", QRect(100, -300, 200, 100), QPoint(100, 0)},
        {"pushed left", QRect(700, 100, 200, 100), QPoint(600, 100)},
        {"pushed up", QRect(100, 560, 200, 100), QPoint(100, 500)},
        {"odd sizes", QRect(100, 100, 101, 51), QPoint(50, 75)},
    };
    for (const Row& r : rows)
        EXPECT_EQ(centredInside(box, r.reference, work), r.at) << r.name;
    // A work area that does not start at the origin.
    EXPECT_EQ(centredInside(QSize(100, 100), QRect(0, 0, 50, 50), QRect(40, 30, 500, 400)),
              QPoint(40, 30));
}

TEST(AboutBox, OpensOnItsOwnerUnlessTheOwnerIsHiddenOrMinimised) {
    const QRect work(0, 0, 1000, 700);
    const QSize size(194, 145);
    QWidget owner;
    owner.setGeometry(100, 100, 300, 200);
    EXPECT_EQ(AboutBox::placeFor(size, nullptr, work), QPoint(500 - 97, 350 - 72));
    EXPECT_EQ(AboutBox::placeFor(size, &owner, work), QPoint(500 - 97, 350 - 72));  // hidden
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    const QRect f = owner.frameGeometry();
    EXPECT_EQ(AboutBox::placeFor(size, &owner, work),
              QPoint((f.left() + f.left() + f.width()) / 2 - 97,
                     (f.top() + f.top() + f.height()) / 2 - 72));
    owner.showMinimized();
    ASSERT_TRUE(testing::waitUntil([&] { return owner.isMinimized(); }, 5000));
    EXPECT_EQ(AboutBox::placeFor(size, &owner, work), QPoint(500 - 97, 350 - 72));
}

TEST(AboutBox, HoldsTitleIconOkButtonAndGroupFrame) {
    AboutBox box(nullptr);
    EXPECT_EQ(box.windowTitle(), "About");
    EXPECT_TRUE(box.isModal());
    EXPECT_EQ(box.size(), QSize(194, 145));  // 129 x 89 dialog units
    const auto labels = box.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 2);
    const QLabel* text = labels[0]->pixmap().isNull() ? labels[0] : labels[1];
    const QLabel* icon = labels[0]->pixmap().isNull() ? labels[1] : labels[0];
    EXPECT_EQ(text->text(), "WinTarvo 1.15");
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    const auto buttons = box.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), "OK");
    EXPECT_TRUE(buttons[0]->isDefault());
    const auto groups = box.findChildren<QGroupBox*>();
    ASSERT_EQ(groups.size(), 1);
    for (const QWidget* inside :
         {static_cast<const QWidget*>(text), static_cast<const QWidget*>(icon),
          static_cast<const QWidget*>(buttons[0])})
        EXPECT_TRUE(groups[0]->geometry().contains(inside->geometry()));
}

TEST(AboutBox, EnterEndsItWithOneAndEscapeWithTwo) {
    for (const auto& [key, result] : {std::pair{Qt::Key_Return, 1}, std::pair{Qt::Key_Enter, 1},
                                      std::pair{Qt::Key_Escape, 2}}) {
        AboutBox box(nullptr);
        int finished = -1;
        QObject::connect(&box, &QDialog::finished, [&](int r) { finished = r; });
        box.open();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        QTest::keyClick(&box, key);
        EXPECT_EQ(finished, result) << key;
        EXPECT_FALSE(box.isVisible());
    }
}

TEST(ModalDialogs, EngineAnswersArriveWhileOneIsOpen) {
    testing::TraceCapture trace;
    testing::ViewHarness h;
    h.view.onNewGame();
    h.view.onPlayMove();
    ASSERT_TRUE(h.view.thinking());
    AboutBox box(&h.parent);
    bool arrivedWhileOpen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!h.view.thinking()) {
            arrivedWhileOpen = box.isVisible();
            box.done(1);
        }
    });
    poll.start(5);
    // If the answer never came, the box would stay open: close it after two minutes anyway.
    QTimer::singleShot(120000, &box, [&] { box.done(1); });
    box.exec();
    EXPECT_TRUE(arrivedWhileOpen);
    EXPECT_EQ(h.view.movesPlayed().size(), 1u);
}

}  // namespace
}  // namespace wintarvo
