#pragma once
// The one road from a window message into the window logic.
//
// While the thread waits on a DDE peer, messages sent from other threads and processes still
// arrive; no event runs then. What reaches the window logic meanwhile is held and run after the
// wait, in order, each as an event of its own from the message loop, unless the window has been
// unloaded by then. docs/dde-links.md tells the whole story.
#include <windows.h>

#include <functional>

namespace platform::win32 {

// Makes what holds events, with the window; throws base::Failure when Windows cannot.
void PrepareHeldEvents();

// Runs an event handler, or holds it during a peer wait: a held handler runs later, so it must
// not refer to anything that may end before then. Whatever escapes it ends that event only: the
// program goes on. All the peer waits of one event share one limit.
void Dispatch(const std::function<void()>& handler);
// Runs it now, even during a peer wait: for the unload of a session that ends, which must
// complete before Windows ends the process.
void DispatchNow(const std::function<void()>& handler);

// During a peer wait, holds the message, to be sent again to its window after the wait, and
// returns true; otherwise returns false. For messages whose own handling must not run inside a
// wait either (a close, a system command, input to a control).
bool HoldMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Whether the message is keyboard or mouse input.
bool IsInput(UINT message);

}  // namespace platform::win32
