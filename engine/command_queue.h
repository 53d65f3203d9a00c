// The engine thread's command queue: codes taken first in, first out, a re-entrant lock over
// them and an auto-reset event that is set only while the queue holds a command, so every
// wake-up finds one and every queued command is eventually taken.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>

#include "engine/auto_reset_event.h"

namespace wintarvo {

constexpr std::int32_t CMD_QUIT = 1;
constexpr std::int32_t CMD_THINK = 2;

struct CommandQueue {
    virtual ~CommandQueue() = default;

    std::deque<std::int32_t> commands;
    std::recursive_mutex queueLock;
    AutoResetEvent wakeEvent;
};

}  // namespace wintarvo
