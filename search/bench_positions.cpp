#include "search/bench_positions.h"

#include "model/position_diagram.h"

namespace wintarvo {

Position BenchPosition::position() const {
    return positionFromDiagram(rows, sideToMove);
}

const std::vector<BenchPosition>& benchPositions() {
    // Five rows of the diagram to a line.
    // clang-format off
    static const std::vector<BenchPosition> list = {
        {"start",
         "...B..B..." ".........." ".........." "B........B" ".........."
         ".........." "W........W" ".........." ".........." "...W..W...",
         0, 3},
        {"opening",
         "......B..." ".........." "...B......" "...W..x..B" "....x....."
         "..x......W" "W........." "....B....." ".........x" "......W...",
         0, 3},
        {"early-middle",
         "....x....." ".....B..x." ".....x...." "...W.xx..B" "....x....x"
         "..x...xW.." "W....B...." "...B..W.x." "....x....x" "..........",
         0, 3},
        {"middle-open",
         "....x....." "....x...x." "..WBxx.xB." ".x.x.xxW.." "....x...xx"
         "..x...xB.." "....xx.x.." "..WB...xx." "....x.W..x" "....x.x...",
         0, 4},
        {"middle",
         "....x....." "xxB.x...x." ".x.xxx.xB." ".xxx.xxW.." "..Wxx...xx"
         ".xxx..x..." "xx.Bxx.x.." "..W.xW.xxB" "....x....x" "....x.xx..",
         0, 4},
        {"middle-closed",
         "....x..B.x" "xxB.x..xxW" ".x.xxxxxx." ".xxx.xx.xx" "..Wxx.B.xx"
         ".xxx..x..." "xxxBxxxx.." ".Wxxxx.xxx" "....xW...x" "....x.xx..",
         0, 5},
        {"separating",
         "xxxBxxxxWx" "xx..xB.xxx" "xx.xxxxxx." "xxxx.xx.xx" "xW.xx.B.xx"
         ".xxx..x..." "xxxBxxxx.." "xxxxxx.xxx" "W...xW...x" "....x.xx..",
         0, 5},
        {"separated",
         "xxxxxxxxWx" "xxxxxxBxxx" "xxBxxxxxx." "xxxx.xxxxx" "xW.xx.B.xx"
         ".xxx.xx..." "xxxBxxxx.." "xxxxxxxxxx" "xxxxxxW..x" "..W.x.xx..",
         0, 7},
        {"near-final",
         "xxxxxxxxWx" "xxxxxxBxxx" "xxBxxxxxx." "xxxxxxxxxx" "xW.xxxxxxx"
         ".xxx.xxxxB" "xxxBxxxx.." "xxxxxxxxxx" "xxxxxxxxxx" "xxW.xxxxW.",
         0, 8},
        {"white-without-move",
         "xxxxxxxxWx" "xxxxxxBxxx" "xxBxxxxxx." "xxxxxxxxxx" "xxWxxxxxxx"
         ".xxxBxxxxx" "xxxxxxxxxB" "xxxxxxxxxx" "xxxxxxxxxx" "xxxWxxxxxW",
         0, 5},
        {"test1-middle",
         ".B..xx.B.." "...xx.W..x" ".xx.x.xxx." "...xx.xx.." "..x..xx.xW"
         "x..xxxxxxB" ".B...x.xx." ".Wxxxx.x.x" ".....x.xW." ".....x..x.",
         0, 4},
        {"test1-late",
         ".x.xxxxxxB" "xx.xxxxxxx" "xxxBxWxxxx" "x..xx.xxW." "x.xxxxx.xx"
         "xB.xxxxxxB" ".x...x.xxx" "xxxxxx.xxx" ".....x.xWx" "..W..x..xx",
         1, 6},
        {"test1-near-final",
         ".xxxxxxxxB" "xxxxxxxxxx" "xxxxxxxxxx" "xxxxxWxxW." "xxxxxxx.xx"
         "xBxxxxxxxB" ".x.Bxxxxxx" "xxxxxxxxxx" "xxW..xWxxx" ".....xx.xx",
         0, 8},
        {"test3-middle",
         "...x...x.." "..x.xBx.x." "...W.x.WB." "...xxxxx.." "x.xxxxWxxx"
         "xx..x..x.." ".x.xxxx..x" "...x.xx.B." ".xB..x...." "..xxxW..xx",
         0, 4},
        {"test3-late",
         "xxxxBxxxxx" "xxxxxxxWxx" "xxW..xxxxx" "x..xxxxxxB" "xxxxxxWxxx"
         "xx..x..xx." ".x.xxxxxBx" ".x.xxxxx.x" ".x.B.x.xx." "..xxxx.Wxx",
         0, 6},
        {"test3-near-final",
         "xxxxBxxxxx" "xxxxxxxWxx" "xxxxxxxxxx" "xxWxxxxxxB" "xxxxxxxxxx"
         "xxxxxW.xxx" ".xBxxxxxxx" ".x.xxxxxBx" ".x...x.xxx" "..xxxx.Wxx",
         0, 8},
    };
    // clang-format on
    return list;
}

}  // namespace wintarvo
