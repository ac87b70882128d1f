// The program's window: a fixed frame with a menu bar, sized in twips, that raises Resize on every
// change of its size or state and Unload however it is closed.
#include <tuple>
#include <utility>

#include "base/failure.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/impl.h"
#include "platform/win32/units.h"
#include "win32io/dde_link.h"
#include "win32io/module.h"
#include "win32io/peer_wait.h"

namespace platform {

using win32::Dispatch;

namespace {

constexpr char kWindowClass[] = "Vantro32Window";
// No sizing border and no maximise box: the window keeps the size the program gives it.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kIconResource = 1;  // app/vantro32.rc
// Posted to itself to take a maximised window back to normal.
constexpr UINT kUndoMaximize = WM_APP + 1;

Window::Impl* theMainWindow = nullptr;
bool mainLoopRunning = false;

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* impl =
            static_cast<Window::Impl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        impl->node.hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl));
    }
    auto* impl = reinterpret_cast<Window::Impl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!impl) return DefWindowProcA(hwnd, message, wParam, lParam);
    return impl->OnMessage(message, wParam, lParam);
}

SIZE OuterSize(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

void RequireNormal(const Window& window) {
    if (window.State() != WindowState::Normal)
        throw base::Failure("A form can't be moved or sized while minimized or maximized");
}

}  // namespace

namespace win32 {
Window::Impl* MainWindow() {
    return theMainWindow;
}
void MainLoopStarts() {
    mainLoopRunning = true;
}
}  // namespace win32

void Window::Impl::FitClientToDesign() {
    if (shown || !Handle()) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    const SIZE outer = OuterSize(Handle());
    const int width = outer.cx + designClient.cx - client.right;
    const int height = outer.cy + designClient.cy - client.bottom;
    if (width == outer.cx && height == outer.cy) return;
    SetWindowPos(Handle(), nullptr, 0, 0, width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

POINT Window::Impl::Place() const {
    if (placeWhileHidden) return *placeWhileHidden;
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    return POINT{rect.left, rect.top};
}

void Window::Impl::MoveTo(POINT place) {
    if (!shown) {
        placeWhileHidden = place;
        return;
    }
    SetWindowPos(Handle(), nullptr, place.x, place.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::Impl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const HWND hwnd = Handle();
    // A close, a system command (the menu's own loop among them) and input wait for the end of a
    // peer wait like every event.
    if ((message == WM_CLOSE || message == WM_SYSCOMMAND || win32::IsInput(message)) &&
        win32::HoldMessage(hwnd, message, wParam, lParam))
        return 0;
    LRESULT routed = 0;
    if (win32::RouteToChild(message, wParam, lParam, routed)) return routed;
    switch (message) {
        case WM_SIZE: {
            if (wParam == SIZE_MAXIMIZED) {
                PostMessageA(hwnd, kUndoMaximize, 0, 0);
                return 0;
            }
            const WindowState state =
                wParam == SIZE_MINIMIZED ? WindowState::Minimized : WindowState::Normal;
            const SIZE size = OuterSize(hwnd);
            if (state == lastState && size.cx == lastSize.cx && size.cy == lastSize.cy) return 0;
            lastState = state;
            lastSize = size;
            Dispatch(self->OnResize);
            return 0;
        }
        case kUndoMaximize:
            if (IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_MAXIMIZE) return 0;
            break;
        case WM_COMMAND:  // the controls' notifications are routed above: these are menu clicks
            if (lParam == 0 && HIWORD(wParam) == 0) {
                const auto item = menuItems.find(LOWORD(wParam));
                if (item != menuItems.end()) Dispatch(item->second->OnClick);
                return 0;
            }
            break;
        case WM_TIMER: {
            const auto timer = timers.find(wParam);
            if (timer != timers.end() && timer->second->Enabled()) Dispatch(timer->second->OnTimer);
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focused = GetFocus();
                if (focused && IsChild(hwnd, focused)) focus = focused;
            } else if (!HIWORD(wParam)) {
                SetFocus(focus && IsWindow(focus) ? focus
                                                  : GetNextDlgTabItem(hwnd, nullptr, FALSE));
            }
            return 0;
        case WM_CLOSE:
            self->Unload();
            return 0;
        // Windows ending the session sends no WM_CLOSE: the window unloads here instead, even
        // inside a wait on a peer, and the conversations end before the answer, after which
        // Windows may end the process at any time.
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) {
                self->Unload();
                win32io::WaitForDdeLinkEnds();
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            std::ignore = ownership.release();
            node.hwnd = nullptr;
            if (theMainWindow == this) theMainWindow = nullptr;
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

Window::Window(const WindowDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->self = this;
    win32::RegisterClassOnce(kWindowClass, WindowProcedure,
                             LoadIconA(win32io::ThisModule(), MAKEINTRESOURCEA(kIconResource)));
    impl_->designClient =
        SIZE{win32::PixelsX(design.clientWidth), win32::PixelsY(design.clientHeight)};
    RECT outer{0, 0, impl_->designClient.cx, impl_->designClient.cy};
    AdjustWindowRectEx(&outer, kStyle, TRUE, kExStyle);

    const HMENU menuBar = CreateMenu();
    impl_->ownership.reset(CreateWindowExA(kExStyle, kWindowClass, design.title.c_str(), kStyle, 0,
                                           0, outer.right - outer.left, outer.bottom - outer.top,
                                           nullptr, menuBar, win32io::ThisModule(), impl_.get()));
    if (!impl_->ownership) {
        DestroyMenu(menuBar);
        throw base::Failure("Can't create the window");
    }
    impl_->menuBar = menuBar;
    impl_->FitClientToDesign();
    win32::PrepareHeldEvents();
    if (!theMainWindow) theMainWindow = impl_.get();
}

Window::~Window() {
    // The window procedure must not see a half-destroyed window.
    if (const HWND hwnd = impl_->Handle()) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        impl_->ownership.reset();
    }
    if (theMainWindow == impl_.get()) theMainWindow = nullptr;
}

Container::Node& Window::ContainerNode() {
    return impl_->node;
}

float Window::Left() const {
    return win32::TwipsX(impl_->Place().x);
}
float Window::Top() const {
    return win32::TwipsY(impl_->Place().y);
}
float Window::Width() const {
    return win32::TwipsX(OuterSize(impl_->Handle()).cx);
}
float Window::Height() const {
    return win32::TwipsY(OuterSize(impl_->Handle()).cy);
}
float Window::ScaleWidth() const {
    RECT client{};
    GetClientRect(impl_->Handle(), &client);
    return win32::TwipsX(client.right);
}
float Window::ScaleHeight() const {
    RECT client{};
    GetClientRect(impl_->Handle(), &client);
    return win32::TwipsY(client.bottom);
}

void Window::SetLeft(float twips) {
    RequireNormal(*this);
    impl_->MoveTo(POINT{win32::PixelsX(twips), impl_->Place().y});
}
void Window::SetTop(float twips) {
    RequireNormal(*this);
    impl_->MoveTo(POINT{impl_->Place().x, win32::PixelsY(twips)});
}
void Window::SetSize(float width, float height) {
    RequireNormal(*this);
    const int cx = win32::PixelsX(width), cy = win32::PixelsY(height);
    // Resize follows from WM_SIZE, and only when the size really changes.
    SetWindowPos(impl_->Handle(), nullptr, 0, 0, cx, cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

WindowState Window::State() const {
    const HWND hwnd = impl_->Handle();
    if (!impl_->shown)
        return impl_->minimizedWhileHidden ? WindowState::Minimized : WindowState::Normal;
    if (IsIconic(hwnd)) return WindowState::Minimized;
    if (IsZoomed(hwnd)) return WindowState::Maximized;
    return WindowState::Normal;
}

void Window::SetState(WindowState state) {
    // The window is never kept maximised: asking for it gives the normal state.
    const bool minimize = state == WindowState::Minimized;
    if (!impl_->shown) {
        // A hidden window remembers the state and takes it when it is shown.
        if (minimize == impl_->minimizedWhileHidden) return;
        impl_->minimizedWhileHidden = minimize;
        impl_->lastState = minimize ? WindowState::Minimized : WindowState::Normal;
        Dispatch(OnResize);
        return;
    }
    if (minimize) {
        if (!IsIconic(impl_->Handle())) ShowWindow(impl_->Handle(), SW_MINIMIZE);
    } else if (State() != WindowState::Normal) {
        ShowWindow(impl_->Handle(), SW_RESTORE);
    }
}

void Window::Show() {
    const HWND hwnd = impl_->Handle();
    if (!hwnd) return;
    if (!impl_->shown) {
        impl_->shown = true;
        if (const auto place = std::exchange(impl_->placeWhileHidden, std::nullopt))
            impl_->MoveTo(*place);
        ShowWindow(hwnd, impl_->minimizedWhileHidden ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
        impl_->minimizedWhileHidden = false;
    } else if (!IsWindowVisible(hwnd)) {
        ShowWindow(hwnd, SW_SHOW);
    }
    UpdateWindow(hwnd);
}

void Window::Unload() {
    if (impl_->unloading || !impl_->Handle()) return;
    impl_->unloading = true;
    // No peer hears from a window that is going away: a wait under way (the unload of a session
    // that ends runs inside it) gives up, and none begins.
    win32io::EndPeerWaits();
    win32::DispatchNow(OnUnload);
    const bool programWindow = theMainWindow == impl_.get();
    // Whatever the unload handling did, the window goes, and with it the program.
    if (const HWND hwnd = impl_->Handle()) DestroyWindow(hwnd);
    // Closed during the start-up (from one of its message boxes, or by the session's end while
    // the start-up waits on a peer): the rest of the start-up would open links for a window that
    // is gone, and no loop is there yet to end on. Whoever sent the close gets its answer first,
    // not a process that vanished under its message.
    if (programWindow && !mainLoopRunning) {
        if (InSendMessage()) ReplyMessage(0);
        win32io::WaitForDdeLinkEnds();
        ExitProcess(0);
    }
}

}  // namespace platform
