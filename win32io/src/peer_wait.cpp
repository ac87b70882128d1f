#include "win32io/peer_wait.h"

#include <dde.h>

namespace win32io {

namespace {
thread_local int waits = 0;
thread_local int budgets = 0;
thread_local DWORD spentMs = 0;  // on peers, inside the outermost budget

// Paint messages are made again while a window stays invalid: a few rounds are enough.
constexpr int kPaintRounds = 8;

void HandleMessagesOfTheWait() {
    MSG msg;
    // Messages sent to the thread are handled by any PeekMessage, whatever its filter.
    while (PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&msg);
    for (int round = 0; round < kPaintRounds; ++round) {
        if (!PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) break;
        DispatchMessageA(&msg);
    }
}
}  // namespace

bool WaitingOnPeer() {
    return waits > 0;
}

DWORD PeerWaitLeft() {
    if (budgets == 0) return kPeerWaitLimitMs;
    return spentMs >= kPeerWaitLimitMs ? 0 : kPeerWaitLimitMs - spentMs;
}

bool WaitForPeer(HANDLE done) {
    const DWORD limit = PeerWaitLeft();
    const ULONGLONG start = GetTickCount64();
    ++waits;
    bool answered = false;
    for (;;) {
        const ULONGLONG elapsed = GetTickCount64() - start;
        if (elapsed >= limit) {
            answered = WaitForSingleObject(done, 0) == WAIT_OBJECT_0;
            break;
        }
        const DWORD result =
            MsgWaitForMultipleObjects(1, &done, FALSE, static_cast<DWORD>(limit - elapsed),
                                      QS_SENDMESSAGE | QS_POSTMESSAGE | QS_PAINT);
        if (result == WAIT_OBJECT_0) {
            answered = true;
            break;
        }
        if (result != WAIT_OBJECT_0 + 1) break;  // the limit, or a failed wait
        HandleMessagesOfTheWait();
    }
    --waits;
    if (budgets > 0) spentMs += static_cast<DWORD>(GetTickCount64() - start);
    return answered;
}

PeerWaitBudget::PeerWaitBudget() {
    if (budgets++ == 0) spentMs = 0;
}

PeerWaitBudget::~PeerWaitBudget() {
    --budgets;
}

}  // namespace win32io
