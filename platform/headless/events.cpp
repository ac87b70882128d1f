// What tests do as the user and as the system: each event goes through the dispatch, like a real
// window message.
#include <algorithm>

#include "platform/headless/impl.h"

namespace platform::headless {

void Click(MenuItem& item) { Dispatch(item.OnClick); }

void Click(CommandButton& button) {
    if (button.GetImpl().visible) Dispatch(button.OnClick);
}

void Select(ListBox& list, int index) { list.SetListIndex(index); }
void DoubleClick(ListBox& list) { Dispatch(list.OnDblClick); }
void PressKey(ListBox& list, std::int16_t keyAscii) {
    Dispatch([&] {
        if (list.OnKeyPress) list.OnKeyPress(keyAscii);
    });
}

void DragThumb(VScrollBar& bar, int value) {
    VScrollBar::Impl& impl = bar.GetImpl();
    if (!impl.dragging) {
        impl.dragging = true;
        impl.valueAtDragStart = impl.value;
    }
    impl.value = std::clamp(value, impl.min, impl.max);
    Dispatch(bar.OnScroll);
}

void ReleaseThumb(VScrollBar& bar) {
    VScrollBar::Impl& impl = bar.GetImpl();
    if (!impl.dragging) return;
    impl.dragging = false;
    if (impl.value != impl.valueAtDragStart) Dispatch(bar.OnChange);
}

namespace {
void StepBy(VScrollBar& bar, int delta) {
    VScrollBar::Impl& impl = bar.GetImpl();
    const int value = std::clamp(impl.value + delta, impl.min, impl.max);
    if (value == impl.value) return;
    impl.value = value;
    Dispatch(bar.OnChange);
}
}  // namespace

void LineDown(VScrollBar& bar) { StepBy(bar, bar.GetImpl().smallChange); }
void LineUp(VScrollBar& bar) { StepBy(bar, -bar.GetImpl().smallChange); }
void PageDown(VScrollBar& bar) { StepBy(bar, bar.GetImpl().largeChange); }
void PageUp(VScrollBar& bar) { StepBy(bar, -bar.GetImpl().largeChange); }

void UserResize(Window& window, float width, float height) {
    Window::Impl& impl = window.GetImpl();
    if (impl.state != WindowState::Normal) return;
    impl.widthPx = static_cast<int>(width / TwipsX() + 0.5f);
    impl.heightPx = static_cast<int>(height / TwipsY() + 0.5f);
    Dispatch(window.OnResize);
}

namespace {
void ChangeState(Window& window, WindowState state) {
    Window::Impl& impl = window.GetImpl();
    if (impl.state == state) return;
    impl.state = state;
    Dispatch(window.OnResize);
}
}  // namespace

void Minimize(Window& window) { ChangeState(window, WindowState::Minimized); }
void Restore(Window& window) { ChangeState(window, WindowState::Normal); }
void Maximize(Window& window) { ChangeState(window, WindowState::Maximized); }
void Close(Window& window) { window.Unload(); }
bool IsShown(const Window& window) {
    return const_cast<Window&>(window).GetImpl().shown;
}
bool IsTopmost(const Window& window) {
    return const_cast<Window&>(window).GetImpl().topmost;
}

bool Tick(Timer& timer) {
    if (!timer.GetImpl().enabled || TheWorld().ended) return false;
    Dispatch(timer.OnTimer);
    return true;
}

}  // namespace platform::headless
