// The board view's bookkeeping of engine answers in a game shared with other running copies
// (Interlinked Mode), where moves can arrive while this copy's engine is still thinking.
//
// It keeps the position each think request was for, so that an answer computed before a
// received move changed the game is recognised and dropped; whether Auto Play withheld the
// reply to such a move, to be asked for once the answer is in; and the engine's last
// announced move, to recognise the same move coming back from another copy whose engine made
// it at the same moment (both copies would otherwise wait for each other).
//
// Owned by value by the board view; user-interface thread only, no Qt. It decides nothing
// about options or the thinking state: the view asks it and acts.
#pragma once

#include "model/move.h"
#include "model/position.h"

namespace wintarvo {

class InterlinkedReplies {
  public:
    // The engine accepted a think request for this position.
    void askedFor(const Position& position) { asked_ = position; }
    // Whether the engine's answer was asked for the position shown now; any other is stale,
    // legal or not.
    bool answerFits(const Position& shown) const { return !shown.differs(asked_); }

    // A received move was played during the search, and Auto Play held its reply back.
    void withholdReply() { replyWithheld_ = true; }
    // Whether a reply was held back since the last answer; the answer has come, so it is
    // owed no longer here either way.
    bool takeWithheldReply();

    // This copy's engine announced m, which led to the position after.
    void announced(const Move& m, const Position& after);
    // A received move that was not legal here: true exactly when it is the engine's last
    // announcement heard a second time while the position it led to stands. The first
    // hearing is this copy's own announcement; a second means another copy's engine made the
    // same move at the same moment, and this copy should answer it. A third hearing or later
    // is not to be answered again.
    bool isAnotherCopysEcho(const Move& m, const Position& shown);

  private:
    Position asked_;
    bool replyWithheld_ = false;
    Move announcedMove_;
    Position announcedAfter_;
    int arrivals_ = 0;
};

}  // namespace wintarvo
