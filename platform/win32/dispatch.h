#pragma once
// The one road from a window message into the window logic.
#include <functional>

namespace platform::win32 {

// Runs an event handler. Whatever escapes it ends that event only: the program goes on.
void Dispatch(const std::function<void()>& handler);

}  // namespace platform::win32
