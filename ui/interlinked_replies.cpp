#include "ui/interlinked_replies.h"

namespace wintarvo {

bool InterlinkedReplies::takeWithheldReply() {
    const bool withheld = replyWithheld_;
    replyWithheld_ = false;
    return withheld;
}

void InterlinkedReplies::announced(const Move& m, const Position& after) {
    announcedMove_ = m;
    announcedAfter_ = after;
    arrivals_ = 0;
}

bool InterlinkedReplies::isAnotherCopysEcho(const Move& m, const Position& shown) {
    if (m != announcedMove_ || shown.differs(announcedAfter_)) return false;
    return ++arrivals_ == 2;
}

}  // namespace wintarvo
