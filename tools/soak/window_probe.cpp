#include "tools/soak/window_probe.h"

namespace soak {

namespace {
constexpr DWORD kEveryMs = 250;
constexpr UINT kLimitMs = 60000;
}  // namespace

WindowProbe::WindowProbe() : thread_([this] { Run(); }) {}

WindowProbe::~WindowProbe() {
    stop_ = true;
    thread_.join();
}

void WindowProbe::Watch(HWND window) {
    const std::lock_guard lock(mutex_);
    window_ = window;
}

ULONGLONG WindowProbe::TakeLongest() {
    return longestLately_.exchange(0);
}

void WindowProbe::Run() {
    while (!stop_) {
        Sleep(kEveryMs);
        HWND window;
        {
            const std::lock_guard lock(mutex_);
            window = window_;
        }
        if (!window) continue;
        const ULONGLONG start = GetTickCount64();
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kLimitMs, &result) != 0;
        const ULONGLONG took = GetTickCount64() - start;
        {
            // A window killed meanwhile is no wait: only one still watched counts.
            const std::lock_guard lock(mutex_);
            if (window_ != window) continue;
        }
        if (!answered && IsWindow(window)) ++unanswered_;
        if (!answered && !IsWindow(window)) continue;
        if (took > longest_) longest_ = took;
        if (took > longestLately_) longestLately_ = took;
    }
}

}  // namespace soak
