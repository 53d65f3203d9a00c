// What the engine thread notifies when a search has ended: the requesting window, reduced to
// the one thing the engine may do with it. The user interface implements it by queueing an
// event for the window on the user-interface thread.
#pragma once

#include <cstdint>
#include <memory>

namespace wintarvo {

constexpr std::uint32_t WM_APP = 0x8000;
// The engine's completion message: posted to the requesting window, carrying no move.
constexpr std::uint32_t WM_ENGINE_MOVE = WM_APP + 10;

class NotifyWindow {
public:
    virtual ~NotifyWindow() = default;
    // If the window still exists, queues (message, wParam, lParam) for it and returns true at
    // once; otherwise posts nothing and returns false. Called from the engine thread, while the
    // window may be going away on its own thread: the test and the post must be one step.
    virtual bool postIfWindow(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

// Shared between the window's owner and the engine, so neither can leave the other holding a
// dangling pointer.
using NotifyHandle = std::shared_ptr<NotifyWindow>;

}  // namespace wintarvo
