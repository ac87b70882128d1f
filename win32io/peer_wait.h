#pragma once
// How the thread of a window waits on a DDE peer: never longer than a limit, with its windows still
// painting and its own DDE servers still answering, and without running anything else.
//
// Messages sent from other threads or processes are handled during any wait that reads messages.
// Whatever reaches a window during a peer wait, its owner checks WaitingOnPeer() and keeps it for
// later: no event of the window runs inside a wait.
#include <windows.h>

namespace win32io {

// The longest the window's thread waits on peers for one event of its own.
inline constexpr DWORD kPeerWaitLimitMs = 1000;

// Whether this thread is inside a wait on a peer.
bool WaitingOnPeer();

// Waits until `done` is signalled, for no longer than what is left of the limit; false when the
// limit passed first. While it waits, the thread paints and dispatches DDE messages and messages
// sent to it; posted input and timers stay in the queue.
bool WaitForPeer(HANDLE done);

// The time this thread may still wait on peers, in milliseconds.
DWORD PeerWaitLeft();

// All waits on peers from its making to its end, on this thread, share one limit, so that one event
// of the window that tries several peers holds the window no longer than one wait. Without one,
// each wait has the limit of its own. Nested ones join the outermost.
class PeerWaitBudget {
  public:
    PeerWaitBudget();
    ~PeerWaitBudget();
    PeerWaitBudget(const PeerWaitBudget&) = delete;
    PeerWaitBudget& operator=(const PeerWaitBudget&) = delete;
};

}  // namespace win32io
