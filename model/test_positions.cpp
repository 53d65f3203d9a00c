#include "model/test_positions.h"

#include <string_view>

namespace wintarvo {
namespace {

// Rows from rank 10 down to rank 1, files A to J: W white amazon, B black amazon, x arrow.
constexpr std::string_view LAYOUTS[TEST_POSITION_COUNT][10] = {
    {"....x.....",
     "...x......",
     ".xx.x.W...",
     "..B.W.xxB.",
     "..x..xx...",
     "...xx.xx..",
     "W...B.Wx..",
     ".....x.x..",
     "...B.x....",
     ".....x...."},
    {"....x..B..",
     "..Bx..Wx.x",
     ".W.x..xxx.",
     "x..x..xx..",
     "x.x.x.x.x.",
     ".x..xx...x",
     ".x...x.xx.",
     ".Bxx.x..x.",
     "..Wx.BW..x",
     ".....x...."},
    {"......B...",
     "..........",
     ".....x....",
     "...x..W...",
     "xBxx.B....",
     ".......x..",
     "....BW....",
     ".....x..W.",
     ".x...x....",
     "...Wx....."},
};

}  // namespace

void setTestPosition(Position& p, int n) {
    p.clearBoard();
    if (n >= 1 && n <= TEST_POSITION_COUNT) {
        for (int r = 0; r < 10; ++r) {
            for (int c = 0; c < 10; ++c) {
                const char x = LAYOUTS[n - 1][r][static_cast<std::size_t>(c)];
                const CellCode code = x == 'W' ? WhiteAmazon : x == 'B' ? BlackAmazon : x == 'x' ? Arrow : Empty;
                p.setCell(10 * r + c, code);
            }
        }
    }
    p.recomputeHash();
}

}  // namespace wintarvo
