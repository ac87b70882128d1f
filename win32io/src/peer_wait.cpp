#include "win32io/peer_wait.h"

#include <dde.h>

#include <algorithm>
#include <map>
#include <optional>
#include <utility>
#include <vector>

namespace win32io {

namespace {
thread_local int waits = 0;
thread_local bool ended = false;
thread_local int budgets = 0;
thread_local unsigned budgetSerial = 0;  // of the outermost budget, counted from 1
thread_local DWORD spentMs = 0;          // on peers, inside the outermost budget
// Who waited in the outermost budget.
thread_local std::vector<const void*> spenders;
// Who passes a turn: 0 until its next wait inside a budget, then that budget's serial.
thread_local std::map<const void*, unsigned> passing;
thread_local std::vector<std::function<void()>> afterWaits;
// The end of the message loop, asked for during a wait: asked for again after it.
thread_local std::optional<WPARAM> quit;

// Paint messages are made again while a window stays invalid: a few rounds are enough.
constexpr int kPaintRounds = 8;

// Wine hands WM_QUIT over whatever the filter: it is kept for the loop.
void Handle(const MSG& msg) {
    if (msg.message == WM_QUIT)
        quit = msg.wParam;
    else
        DispatchMessageA(&msg);
}

void HandleMessagesOfTheWait() {
    MSG msg;
    // Messages sent to the thread are handled by any PeekMessage, whatever its filter.
    while (PeekMessageA(&msg, nullptr, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE)) Handle(msg);
    for (int round = 0; round < kPaintRounds; ++round) {
        if (!PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) break;
        Handle(msg);
    }
}

// Whether the waiter passes its turn in the current budget.
bool Passes(const void* waiter) {
    const auto found = passing.find(waiter);
    if (found == passing.end() || budgets == 0) return false;
    if (found->second == 0) found->second = budgetSerial;  // its turn, passed now
    if (found->second == budgetSerial) return true;
    passing.erase(found);  // passed in an earlier event: its turns are its own again
    return false;
}

// Counts one wait for as long as it lasts, and runs what waited for the waits to end.
class WaitScope {
  public:
    WaitScope() { ++waits; }
    ~WaitScope() {
        if (--waits > 0) return;
        if (quit) PostQuitMessage(static_cast<int>(*std::exchange(quit, std::nullopt)));
        // Taken first: one of them may ask for more.
        for (std::function<void()>& then : std::exchange(afterWaits, {})) then();
    }
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;
};
}  // namespace

bool WaitingOnPeer() {
    return waits > 0;
}

DWORD PeerWaitLeft(const void* waiter) {
    if (ended || Passes(waiter)) return 0;
    if (budgets == 0) return kPeerWaitLimitMs;
    return spentMs >= kPeerWaitLimitMs ? 0 : kPeerWaitLimitMs - spentMs;
}

void PeerWaitTooShort(const void* waiter) {
    for (const void* spender : spenders)
        if (spender != waiter) passing.emplace(spender, 0);
}

bool WaitForPeer(HANDLE done, const void* waiter) {
    const DWORD limit = PeerWaitLeft(waiter);
    const ULONGLONG start = GetTickCount64();
    if (budgets > 0 && std::find(spenders.begin(), spenders.end(), waiter) == spenders.end())
        spenders.push_back(waiter);
    bool answered = false;
    {
        const WaitScope scope;
        while (!ended) {
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
    }
    if (budgets > 0) spentMs += static_cast<DWORD>(GetTickCount64() - start);
    return answered && !ended;
}

void AfterPeerWaits(std::function<void()> then) {
    if (waits == 0) {
        then();
        return;
    }
    afterWaits.push_back(std::move(then));
}

void EndPeerWaits() {
    ended = true;
}

PeerWaitBudget::PeerWaitBudget() {
    if (budgets++ > 0) return;
    spentMs = 0;
    ++budgetSerial;
    spenders.clear();
}

PeerWaitBudget::~PeerWaitBudget() {
    --budgets;
}

}  // namespace win32io
