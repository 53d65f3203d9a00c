// The program's command and control identifiers: what the menu, the toolbar and the keyboard
// send to the main frame, and the names under which the frame's controls can be found.
//
// The numbers are the program's own stable identifiers; actions carry them as data and
// controls carry them (in decimal) as object names, so that tests and the board view find
// things the same way the frame does.
#pragma once

#include <QString>

namespace wintarvo {

// File
constexpr int ID_NEW_GAME = 32775;
constexpr int ID_TEST_POSITION_1 = 32801;
constexpr int ID_TEST_POSITION_2 = 32802;
constexpr int ID_TEST_POSITION_3 = 32805;
constexpr int ID_OPEN_GAME = 32819;
constexpr int ID_SAVE_GAME = 32818;
constexpr int ID_EXIT = 32772;

// Action
constexpr int ID_PLAY_MOVE = 32776;
constexpr int ID_FORCE_MOVE = 32788;
constexpr int ID_UNDO_MOVE = 32774;
constexpr int ID_GO_BACK = 32806;
constexpr int ID_GO_FORWARD = 32807;
constexpr int ID_BACK_TO_START = 32817;
constexpr int ID_FORWARD_TO_END = 32815;

// Options > Time per Move
constexpr int ID_TIME_UNLIMITED = 32789;
constexpr int ID_TIME_1S = 32783;
constexpr int ID_TIME_2S = 32797;
constexpr int ID_TIME_3S = 32810;
constexpr int ID_TIME_5S = 32784;
constexpr int ID_TIME_10S = 32785;
constexpr int ID_TIME_15S = 32798;
constexpr int ID_TIME_20S = 32795;
constexpr int ID_TIME_30S = 32787;
constexpr int ID_TIME_1MIN = 32786;
constexpr int ID_TIME_2MIN = 32796;
constexpr int ID_TIME_5MIN = 32794;

// Options > Max Search Depth
constexpr int ID_DEPTH_UNLIMITED = 32790;
constexpr int ID_DEPTH_1 = 32780;
constexpr int ID_DEPTH_2 = 32781;
constexpr int ID_DEPTH_3 = 32782;
constexpr int ID_DEPTH_4 = 32791;
constexpr int ID_DEPTH_5 = 32793;
constexpr int ID_DEPTH_6 = 32799;
constexpr int ID_DEPTH_7 = 32803;
constexpr int ID_DEPTH_8 = 32804;

// Options, toggles
constexpr int ID_AUTO_PLAY = 32809;
constexpr int ID_SOUND = 32808;
constexpr int ID_SHOW_TERRITORY = 32813;
constexpr int ID_INTERLINKED = 32823;
// The tournament engine: the clocked think with the split-board solver.
constexpr int ID_TOURNAMENT_ENGINE = 32824;

// Help
constexpr int ID_ABOUT = 57664;

// The close request: Escape, the window's close button, the window manager's close.
constexpr int ID_CANCEL = 2;

// Controls of the frame.
constexpr int ID_TOOLBAR = 59392;
constexpr int ID_STATUS_BAR = 59393;
// Coordinate labels: rows 1..10 are 1010 down to 1001; columns A..J as listed in the layout.
constexpr int ID_ROW_LABEL_1 = 1010;
constexpr int ID_ROW_LABEL_10 = 1001;

// The object name under which a control with this identifier is registered.
inline QString controlName(int id) {
    return QString::number(id);
}

}  // namespace wintarvo
