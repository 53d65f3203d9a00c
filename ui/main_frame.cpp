#include "ui/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include "records/game_file.h"
#include "ui/app_icon.h"
#include "ui/command_ids.h"
#include "ui/desktop_services.h"
#include "ui/move_broadcast.h"
#include "ui/option_tables.h"
#include "ui/status_line.h"
#include "ui/toolbar_images.h"
#include "ui/version_info.h"

namespace wintarvo {
namespace {

// The toolbar's items: command identifiers, 0 for a separator.
constexpr int TOOLBAR_ITEMS[] = {
    ID_OPEN_GAME,  ID_SAVE_GAME,      0, ID_BACK_TO_START, ID_UNDO_MOVE, ID_GO_BACK,
    ID_GO_FORWARD, ID_FORWARD_TO_END, 0, ID_SHOW_TERRITORY};
constexpr int TOOLBAR_LEADING_GAP = 4;
constexpr int TOOLBAR_SEPARATOR_GAP = 8;
// Each button is 7 pixels larger than its image in both directions.
constexpr int TOOLBAR_BUTTON_WIDTH = TOOLBAR_IMAGE_WIDTH + 7;
constexpr int TOOLBAR_BUTTON_HEIGHT = TOOLBAR_IMAGE_HEIGHT + 7;

struct LabelTemplate {
    int id;
    const char* text;
    int x, y, width, height;  // dialog units
    bool centred;
};

// The coordinate labels as the window's template has them; the layout moves them at once.
constexpr LabelTemplate LABELS[] = {
    {1001, "10", 3, 3, 10, 8, true},    {1002, "9", 3, 13, 10, 8, true},
    {1003, "8", 3, 23, 10, 8, true},    {1004, "7", 3, 33, 10, 8, true},
    {1005, "6", 3, 43, 10, 8, true},    {1006, "5", 3, 53, 10, 8, true},
    {1007, "4", 3, 63, 10, 8, true},    {1008, "3", 3, 73, 10, 8, true},
    {1009, "2", 3, 83, 10, 8, true},    {1010, "1", 3, 93, 10, 8, true},
    {1011, "A", 20, 105, 8, 8, false},  {1012, "B", 31, 105, 8, 8, false},
    {1000, "C", 41, 105, 8, 8, false},  {1013, "D", 51, 105, 8, 8, false},
    {1014, "E", 62, 105, 8, 8, false},  {1015, "F", 73, 105, 8, 8, false},
    {1016, "G", 83, 105, 8, 8, false},  {1017, "H", 94, 105, 8, 8, false},
    {1018, "I", 106, 105, 8, 8, false}, {1019, "J", 117, 105, 8, 8, false},
};

QAction* findAction(QWidget* menu, int id) {
    for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            if (QAction* found = findAction(action->menu(), id)) return found;
        } else if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace

QEvent::Type FrameCommandEvent::eventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

MainFrame::MainFrame(DesktopServices& desktop, MoveBroadcast& broadcast)
    : desktop_(desktop), broadcast_(broadcast), boardView_(desktop, broadcast) {}

MainFrame::~MainFrame() {
    qApp->removeEventFilter(this);
    if (window_) {
        broadcast_.stopListening(window_);
        delete window_;
    }
}

// --- creation -------------------------------------------------------------------------------

bool MainFrame::createWindow() {
    // What the window's template provides: caption, menu bar, coordinate labels.
    window_ = new QMainWindow;
    window_->setAttribute(Qt::WA_QuitOnClose, false);
    window_->setWindowTitle(PROGRAM_TITLE);
    client_ = new QWidget(window_);
    client_->setMouseTracking(true);
    window_->setCentralWidget(client_);
    createMenus();
    createLabels();

    // 1. The icon, at every size the desktop may ask for.
    window_->setWindowIcon(appIcon());
    // 2. See every event of the program before it is delivered, the frame's own included.
    qApp->installEventFilter(this);
    broadcast_.listen(window_);
    // 3-5.
    createStatusBar();
    createToolBar();
    boardView_.createWindow(client_);
    boardView_.window()->show();
    // 6-7. The menu's marks and the board view's settings agree from the start.
    selectDepth(ID_DEPTH_UNLIMITED);
    selectTime(ID_TIME_10S);
    setCheck(ID_SOUND, boardView_.soundOn);
    setCheck(ID_AUTO_PLAY, boardView_.autoPlay);
    setCheck(ID_SHOW_TERRITORY, boardView_.showTerritory);
    setCheck(ID_INTERLINKED, boardView_.interlinked);
    setCheck(ID_TOURNAMENT_ENGINE, boardView_.tournamentEngine);
    // 8. 240 x 320 through the frame-size rule, then the board-size rule for the client area
    //    that results (a window manager honours the grid through the size hints).
    window_->setMinimumSize(FRAME_MIN_WIDTH, FRAME_MIN_HEIGHT);
    window_->setBaseSize(0, 0);
    window_->setSizeIncrement(FRAME_GRID, FRAME_GRID);
    window_->resize(frameSizeRule(QSize(FRAME_MIN_WIDTH, FRAME_MIN_HEIGHT)));
    window_->layout()->activate();
    onClientSize(client_->width(), client_->height());
    // 9-10.
    centreOnWorkArea();
    layoutBoard();
    return true;
}

void MainFrame::show() {
    if (window_) window_->show();
}

void MainFrame::createMenus() {
    auto* bar = new QMenuBar(window_);
    const auto item = [this](QMenu* menu, int id, const char* text, bool checkable = false) {
        QAction* action = menu->addAction(text);
        action->setData(id);
        action->setCheckable(checkable);
        connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
    };
    const auto menu = [this](QWidget* parent, const char* title) {
        auto* m = new QMenu(title, parent);
        connect(m, &QMenu::aboutToShow, this, [this, m] { updateMenu(m); });
        return m;
    };

    QMenu* file = menu(bar, "File");
    item(file, ID_NEW_GAME, "New Game");
    QMenu* setBoard = menu(file, "Set Board");
    item(setBoard, ID_TEST_POSITION_1, "Test Position 1");
    item(setBoard, ID_TEST_POSITION_2, "Test Position 2");
    item(setBoard, ID_TEST_POSITION_3, "Test Position 3");
    file->addMenu(setBoard);
    file->addSeparator();
    item(file, ID_OPEN_GAME, "Open Game...");
    item(file, ID_SAVE_GAME, "Save Game...");
    file->addSeparator();
    item(file, ID_EXIT, "Exit");
    bar->addMenu(file);

    QMenu* action = menu(bar, "Action");
    item(action, ID_PLAY_MOVE, "Play Move");
    item(action, ID_FORCE_MOVE, "Force Move");
    action->addSeparator();
    item(action, ID_UNDO_MOVE, "Undo Move");
    QMenu* step = menu(action, "Step");
    item(step, ID_GO_BACK, "Go Back");
    item(step, ID_GO_FORWARD, "Go Forward");
    item(step, ID_BACK_TO_START, "Back to Start");
    item(step, ID_FORWARD_TO_END, "Forward to End");
    action->addMenu(step);
    bar->addMenu(action);

    // The option groups show their "no limit" item first, above a separator.
    QMenu* options = menu(bar, "Options");
    QMenu* time = menu(options, "Time per Move");
    item(time, TIME_OPTIONS.back().id, TIME_OPTIONS.back().text, true);
    time->addSeparator();
    for (std::size_t i = 0; i + 1 < TIME_OPTIONS.size(); ++i)
        item(time, TIME_OPTIONS[i].id, TIME_OPTIONS[i].text, true);
    options->addMenu(time);
    QMenu* depth = menu(options, "Max Search Depth");
    item(depth, DEPTH_OPTIONS.back().id, DEPTH_OPTIONS.back().text, true);
    depth->addSeparator();
    for (std::size_t i = 0; i + 1 < DEPTH_OPTIONS.size(); ++i)
        item(depth, DEPTH_OPTIONS[i].id, DEPTH_OPTIONS[i].text, true);
    options->addMenu(depth);
    options->addSeparator();
    item(options, ID_AUTO_PLAY, "Auto Play", true);
    item(options, ID_SOUND, "Sound", true);
    item(options, ID_SHOW_TERRITORY, "Show Territory", true);
    item(options, ID_INTERLINKED, "Interlinked Mode", true);
    item(options, ID_TOURNAMENT_ENGINE, "Tournament Engine", true);
    bar->addMenu(options);

    QMenu* help = menu(bar, "Help");
    item(help, ID_ABOUT, "About");
    bar->addMenu(help);

    window_->setMenuBar(bar);
}

void MainFrame::createLabels() {
    for (const LabelTemplate& t : LABELS) {
        auto* label = new QLabel(t.text, client_);
        label->setObjectName(controlName(t.id));
        label->setGeometry(dialogRect(t.x, t.y, t.width, t.height));
        label->setAlignment((t.centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    }
}

void MainFrame::createStatusBar() {
    statusLine_ = new StatusLine(client_);
    statusLine_->setText(QString());
}

void MainFrame::createToolBar() {
    toolBar_ = new QToolBar(client_);
    toolBar_->setObjectName(controlName(ID_TOOLBAR));
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setIconSize(QSize(TOOLBAR_IMAGE_WIDTH, TOOLBAR_IMAGE_HEIGHT));
    toolBar_->layout()->setSpacing(0);
    const auto gap = [this](int width) {
        auto* spacer = new QWidget(toolBar_);
        spacer->setObjectName("separator");
        spacer->setFixedSize(width, TOOLBAR_BUTTON_HEIGHT);
        toolBar_->addWidget(spacer);
    };
    gap(TOOLBAR_LEADING_GAP);
    int image = 0;
    for (int id : TOOLBAR_ITEMS) {
        if (id == 0) {
            gap(TOOLBAR_SEPARATOR_GAP);
            continue;
        }
        // No text, so no tool tip either; the buttons never show an option's state.
        auto* action = new QAction(QIcon(toolbarImage(image++)), QString(), toolBar_);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { onCommand(id); });
        toolBar_->addAction(action);
        if (auto* button = qobject_cast<QToolButton*>(toolBar_->widgetForAction(action))) {
            button->setFixedSize(TOOLBAR_BUTTON_WIDTH, TOOLBAR_BUTTON_HEIGHT);
            button->setAutoRaise(false);
            button->setFocusPolicy(Qt::NoFocus);
        }
    }
}

void MainFrame::centreOnWorkArea() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect work = screen->availableGeometry();
    window_->move(centredInside(window_->size(), work, work));
}

// --- closing --------------------------------------------------------------------------------

void MainFrame::destroyWindow() {
    if (destroying_ || !window_) return;
    destroying_ = true;
    qApp->removeEventFilter(this);
    broadcast_.stopListening(window_);
    // The window disappears, the board view's window goes, then the loop is told to end. This
    // may run inside a handler of either window, so both are deleted once control is back in
    // the event loop; neither receives anything before then.
    window_->hide();
    boardView_.destroyWindow();
    QCoreApplication::exit(0);
    window_->deleteLater();
}

// --- commands -------------------------------------------------------------------------------

void MainFrame::onCommand(int id) {
    for (const OptionItem& option : TIME_OPTIONS) {
        if (option.id == id) {
            selectTime(id);
            return;
        }
    }
    for (const OptionItem& option : DEPTH_OPTIONS) {
        if (option.id == id) {
            selectDepth(id);
            return;
        }
    }
    switch (id) {
        case ID_NEW_GAME:
            boardView_.onNewGame();
            break;
        case ID_TEST_POSITION_1:
            boardView_.onTestPosition(1);
            break;
        case ID_TEST_POSITION_2:
            boardView_.onTestPosition(2);
            break;
        case ID_TEST_POSITION_3:
            boardView_.onTestPosition(3);
            break;
        case ID_OPEN_GAME:
            if (const auto path = desktop_.chooseFileToOpen(window_)) boardView_.onOpenGame(*path);
            break;
        case ID_SAVE_GAME:
            if (const auto choice = desktop_.chooseFileToSave(window_))
                boardView_.onSaveGame(choice->path, formatForSaving(choice->path, choice->filter));
            break;
        case ID_EXIT:
        case ID_CANCEL:
            destroyWindow();
            break;
        case ID_PLAY_MOVE:
            boardView_.onPlayMove();
            break;
        case ID_FORCE_MOVE:
            boardView_.onForceMove();
            break;
        case ID_UNDO_MOVE:
            boardView_.onUndoMove();
            break;
        case ID_GO_BACK:
            boardView_.onStepBack();
            break;
        case ID_GO_FORWARD:
            boardView_.onStepForward();
            break;
        // One step per command; the next one is queued behind whatever else is waiting, until
        // a step fails.
        case ID_BACK_TO_START:
            if (boardView_.onStepBack() && window_)
                QCoreApplication::postEvent(window_, new FrameCommandEvent(ID_BACK_TO_START));
            break;
        case ID_FORWARD_TO_END:
            if (boardView_.onStepForward() && window_)
                QCoreApplication::postEvent(window_, new FrameCommandEvent(ID_FORWARD_TO_END));
            break;
        case ID_AUTO_PLAY:
            toggle(boardView_.autoPlay, id);
            break;
        case ID_SOUND:
            toggle(boardView_.soundOn, id);
            break;
        case ID_SHOW_TERRITORY:
            toggle(boardView_.showTerritory, id);
            if (QWidget* board = boardView_.window()) board->update();
            break;
        case ID_INTERLINKED:
            toggle(boardView_.interlinked, id);
            break;
        case ID_TOURNAMENT_ENGINE:
            toggle(boardView_.tournamentEngine, id);
            break;
        case ID_ABOUT:
            desktop_.showAbout(QApplication::activeWindow());
            break;
        default:
            break;
    }
}

void MainFrame::toggle(bool& option, int id) {
    option = !option;
    setCheck(id, option);
}

void MainFrame::selectDepth(int id) {
    int value = boardView_.depthLimit;
    for (const OptionItem& option : DEPTH_OPTIONS) {
        if (option.id == id) value = option.value;
        setCheck(option.id, option.id == id);
    }
    boardView_.depthLimit = value;
}

void MainFrame::selectTime(int id) {
    int value = boardView_.timeLimit;
    for (const OptionItem& option : TIME_OPTIONS) {
        if (option.id == id) value = option.value;
        setCheck(option.id, option.id == id);
    }
    boardView_.timeLimit = value;
}

void MainFrame::setCheck(int id, bool checked) {
    commandStates_.setCheck(id, checked);
    // A menu shows its marks as it opens; the actions are kept right in between as well,
    // since a checkable action flips its own mark when chosen.
    if (window_ && window_->menuBar() != nullptr)
        if (QAction* action = findAction(window_->menuBar(), id))
            action->setChecked(commandStates_.isChecked(id));
}

void MainFrame::updateMenu(QWidget* menu) {
    if (menu == nullptr) return;
    for (const CommandStateTable::Entry& entry : commandStates_.entries())
        if (QAction* action = findAction(menu, entry.id)) action->setChecked(entry.checked);
}

// --- geometry -------------------------------------------------------------------------------

void MainFrame::onClientSize(int width, int height) {
    // 1-2. The bars stretch across the top and the bottom at their natural heights.
    const int t = toolBar_ ? toolBar_->sizeHint().height() : 0;
    const int s = statusLine_ ? statusLine_->sizeHint().height() : 0;
    if (toolBar_) toolBar_->setGeometry(0, 0, width, t);
    if (statusLine_) statusLine_->setGeometry(0, height - s, width, s);
    // 3-6.
    board_ = boardSizeRule(width, height, t, s);
    layoutBoard();
    if (client_) client_->update();
}

void MainFrame::layoutBoard() {
    // 1-2.
    QWidget* board = boardView_.window();
    if (board == nullptr) return;
    board->setGeometry(board_.left, board_.top, board_.right - board_.left,
                       board_.bottom - board_.top);
    // 3-6. The labels keep their sizes.
    for (const LabelPlace& place : labelPlaces(board_)) {
        if (auto* label =
                client_->findChild<QLabel*>(controlName(place.id), Qt::FindDirectChildrenOnly)) {
            label->move(place.at);
            label->update();
        }
    }
}

// --- events ---------------------------------------------------------------------------------

bool MainFrame::belongsToFrame(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr && window_ && widget->window() == window_;
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == window_) {
        if (type == FrameCommandEvent::eventType()) {
            onCommand(static_cast<FrameCommandEvent*>(event)->id);
            return true;
        }
        if (type == BroadcastMoveEvent::eventType()) {
            const auto* e = static_cast<BroadcastMoveEvent*>(event);
            boardView_.onBroadcastMove(e->wParam, e->lParam);
            return true;
        }
        if (type == QEvent::Close) {
            onCommand(ID_CANCEL);
            return false;
        }
        if (type == QEvent::Resize) {
            // The frame-size rule: back onto the grid, unless the window manager has just
            // refused exactly that correction.
            const QSize size = static_cast<QResizeEvent*>(event)->size();
            const QSize ruled = frameSizeRule(size);
            if (ruled != size && size != lastCorrectedSize_) {
                lastCorrectedSize_ = size;
                window_->resize(ruled);
            }
            return false;
        }
    }
    if (watched == client_ && type == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        onClientSize(size.width(), size.height());
        return false;
    }
    // The dialog manager's keys: Escape anywhere in the frame closes it; Enter does nothing.
    // The menu bar keeps Escape for leaving its keyboard mode.
    if (type == QEvent::KeyPress && belongsToFrame(watched) &&
        qobject_cast<QMenuBar*>(watched) == nullptr &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        onCommand(ID_CANCEL);
        return true;
    }
    // The pointer is on the frame but not on the board: no square is highlighted.
    QWidget* board = boardView_.window();
    if (watched == board && type == QEvent::Leave) {
        boardView_.setHover(-1, -1);
    } else if ((type == QEvent::Enter || type == QEvent::MouseMove) && watched != board &&
               belongsToFrame(watched)) {
        boardView_.setHover(-1, -1);
    }
    return false;
}

}  // namespace wintarvo
