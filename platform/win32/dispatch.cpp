#include "platform/win32/dispatch.h"

#include <deque>
#include <exception>
#include <string>
#include <utility>

#include "platform/win32/impl.h"
#include "win32io/message_window.h"
#include "win32io/peer_wait.h"

namespace platform::win32 {

namespace {

constexpr UINT kReplayMessage = WM_APP;
constexpr UINT_PTR kReplayTimer = 1;  // when the message cannot be posted
constexpr UINT kReplayTimerMs = 10;

// Events that came during a peer wait, run one a message once the thread is back in its loop.
class HeldEvents {
  public:
    HeldEvents()
        : window_([this](UINT message, WPARAM, LPARAM) {
              if (message == WM_TIMER) window_.StopTimer(kReplayTimer);
              if (message != kReplayMessage && message != WM_TIMER) return;
              asked_ = false;
              RunNext();
          }) {}

    void Hold(std::function<void()> event) {
        events_.push_back(std::move(event));
        Ask();
    }

  private:
    // One message at a time asks for the next event. Should the queue be full (10,000 posted
    // messages on Windows), a timer asks instead.
    void Ask() {
        if (std::exchange(asked_, true)) return;
        if (!window_.Post(kReplayMessage)) window_.StartTimer(kReplayTimer, kReplayTimerMs);
    }

    void RunNext() {
        if (events_.empty()) return;
        // A modal loop inside the wait (a scroll bar's, say) took the message: ask again once,
        // when the waits are over.
        if (win32io::WaitingOnPeer()) {
            asked_ = true;
            win32io::AfterPeerWaits([this] {
                asked_ = false;
                Ask();
            });
            return;
        }
        // An unloaded window takes no more events: they were meant for it.
        const Window::Impl* window = MainWindow();
        if (!window || window->unloading) {
            events_.clear();
            return;
        }
        std::function<void()> event = std::move(events_.front());
        events_.pop_front();
        if (!events_.empty()) Ask();
        event();
    }

    std::deque<std::function<void()>> events_;
    bool asked_ = false;  // a message or the timer is on its way
    win32io::MessageWindow window_;
};

// The window thread's, made with the window: never inside a message handler, where a failure
// could not pass. Never destroyed: held events may still wait when the program ends.
HeldEvents* held = nullptr;

void Hold(std::function<void()> event) {
    if (held) held->Hold(std::move(event));
}

}  // namespace

void PrepareHeldEvents() {
    if (!held) held = new HeldEvents;
}

void Dispatch(const std::function<void()>& handler) {
    if (!handler) return;
    if (win32io::WaitingOnPeer()) {
        Hold([handler] { Dispatch(handler); });
        return;
    }
    DispatchNow(handler);
}

void DispatchNow(const std::function<void()>& handler) {
    if (!handler) return;
    const win32io::PeerWaitBudget budget;
    try {
        handler();
    } catch (const std::exception& failure) {
        // Visible with WINEDEBUG=+debugstr or a debugger; the user sees nothing.
        OutputDebugStringA((std::string("Vantro32: event failed: ") + failure.what()).c_str());
    } catch (...) {
        OutputDebugStringA("Vantro32: event failed");
    }
}

bool HoldMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!win32io::WaitingOnPeer()) return false;
    Hold([=] { SendMessageA(hwnd, message, wParam, lParam); });
    return true;
}

bool IsInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
}

}  // namespace platform::win32
