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

// Events that came during a peer wait, run one a message once the thread is back in its loop.
class HeldEvents {
  public:
    HeldEvents()
        : window_([this](UINT message, WPARAM, LPARAM) {
              if (message == kReplayMessage) RunNext();
          }) {}

    void Hold(std::function<void()> event) {
        events_.push_back(std::move(event));
        // Taken from the queue only after the wait: the wait handles no posted message of ours.
        if (events_.size() == 1) window_.Post(kReplayMessage);
    }

  private:
    void RunNext() {
        if (events_.empty()) return;
        if (win32io::WaitingOnPeer()) {  // a message box of a held event's own, say
            window_.Post(kReplayMessage);
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
        if (!events_.empty()) window_.Post(kReplayMessage);
        event();
    }

    std::deque<std::function<void()>> events_;
    win32io::MessageWindow window_;
};

void Hold(std::function<void()> event) {
    // The thread's only one, never destroyed: held events may still wait when the program ends.
    static HeldEvents* held = new HeldEvents;
    held->Hold(std::move(event));
}

}  // namespace

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
