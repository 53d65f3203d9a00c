#include "model/move_list.h"

#include "diag/trace.h"

namespace wintarvo {

void dumpMoveSequence(const MoveList& moves) {
    int written = 0;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        if (written == 11) {
            traceWrite("... ");
            return;
        }
        traceWrite(moveText(*it) + "  ");
        ++written;
    }
}

}  // namespace wintarvo
