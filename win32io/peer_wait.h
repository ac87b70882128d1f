#pragma once
// How the thread of a window waits on a DDE peer: never longer than a limit, with its windows still
// painting and its own DDE servers still answering, and without running anything else.
// docs/dde-links.md tells the whole story: the DDE thread, the waits, what is held and when it
// runs.
#include <windows.h>

#include <functional>

namespace win32io {

// The longest the window's thread waits on peers for one event of its own.
inline constexpr DWORD kPeerWaitLimitMs = 1000;

// Whether this thread is inside a wait on a peer.
bool WaitingOnPeer();

// Waits until `done` is signalled, for no longer than what is left of the limit; false when the
// limit passed first, or when the waits were ended meanwhile. While it waits, the thread paints
// and dispatches DDE messages and messages sent to it; posted input and timers stay in the queue.
// `waiter` is whoever waits (a link), for the turns below.
bool WaitForPeer(HANDLE done, const void* waiter);

// The time `waiter` may still wait on peers, in milliseconds: what is left of the limit, or
// nothing while it passes its turn (see PeerWaitTooShort) or once the waits are ended.
DWORD PeerWaitLeft(const void* waiter);

// `waiter` found too little left to wait at all. Each other waiter that spent time in this event
// then passes its turn in the next event in which it wants to wait, so that one slow peer cannot
// leave another link without time in every event.
void PeerWaitTooShort(const void* waiter);

// Runs `then` on this thread once no wait on a peer is under way: at once, or when the outermost
// wait returns. For work that was asked for inside a wait and must not run there.
void AfterPeerWaits(std::function<void()> then);

// Ends the waits on peers of this thread for good, for a window that is going away: the wait under
// way returns false once the message it is dispatching has been handled, and every later one fails
// at once without waiting.
void EndPeerWaits();

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
