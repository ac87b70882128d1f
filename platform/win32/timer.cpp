// Timers of the window: WM_TIMER with an id of their own.
#include "base/failure.h"
#include "platform/win32/impl.h"

namespace platform {

struct Timer::Impl {
    Window::Impl* window = nullptr;
    UINT_PTR id = 0;
    int interval = 0;
    bool enabled = false;

    void Stop() {
        if (enabled) KillTimer(window->Handle(), id);
        enabled = false;
    }
};

Timer::Timer(Window& window, int intervalMs) : impl_(std::make_unique<Impl>()) {
    Window::Impl& owner = window.GetImpl();
    impl_->window = &owner;
    impl_->id = owner.nextTimerId++;
    impl_->interval = intervalMs;
    owner.timers[impl_->id] = this;
}

Timer::~Timer() {
    impl_->Stop();
    impl_->window->timers.erase(impl_->id);
}

int Timer::Interval() const {
    return impl_->interval;
}
bool Timer::Enabled() const {
    return impl_->enabled;
}

void Timer::SetEnabled(bool enabled) {
    if (enabled == impl_->enabled) return;
    if (!enabled) {
        impl_->Stop();
        return;
    }
    // The timers of a window that is gone never tick again.
    const HWND hwnd = impl_->window->Handle();
    if (!hwnd) return;
    if (!SetTimer(hwnd, impl_->id, static_cast<UINT>(impl_->interval), nullptr))
        throw base::Failure("No timer available");
    impl_->enabled = true;
}

}  // namespace platform
