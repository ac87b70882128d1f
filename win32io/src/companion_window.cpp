#include "win32io/src/companion_window.h"

#include <algorithm>

#include "base/failure.h"
#include "win32io/module.h"
#include "win32io/src/screen_units.h"
#include "win32io/src/single_instance.h"
#include "win32io/src/window_placement.h"

namespace win32io {

namespace {
// The program's icon, resource 1 of every shipped program.
constexpr WORD kIconResource = 1;

// The design in twips, as Vantro32's window is laid out: its width, and room for the log.
constexpr SIZE kDesignTwips{6495, 4500};
constexpr SIZE kSmallest{320, 200};  // pixels
constexpr double kMarginTwips = 120;
constexpr double kStatusLineTwips = 240;
constexpr double kLabelTwips = 1500;
// Vantro32's font.
constexpr char kFontName[] = "MS Sans Serif";
constexpr int kFontTenthsOfPoints = 83;

// The last few hundred lines; the log file keeps more.
constexpr int kLogLines = 500;

constexpr UINT kPendingMessage = WM_APP + 1;
constexpr UINT kTrayMessage = WM_APP + 2;

constexpr WORD kSettingsCommand = 101;
constexpr WORD kExitCommand = 102;
constexpr WORD kAboutCommand = 103;
constexpr WORD kRestoreCommand = 104;

HMENU MenuBar() {
    const HMENU file = CreatePopupMenu();
    AppendMenuA(file, MF_STRING, kSettingsCommand, "&Settings...");
    AppendMenuA(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(file, MF_STRING, kExitCommand, "E&xit");
    const HMENU help = CreatePopupMenu();
    AppendMenuA(help, MF_STRING, kAboutCommand, "&About...");
    const HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), "&Help");
    return bar;
}

HICON ProgramIcon(int size) {
    return static_cast<HICON>(
        LoadImageA(ThisModule(), MAKEINTRESOURCEA(kIconResource), IMAGE_ICON, size, size, 0));
}

HWND Child(HWND parent, const char* className, DWORD style, HFONT font) {
    const HWND child = CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0,
                                       parent, nullptr, ThisModule(), nullptr);
    if (!child) throw base::Failure(std::string("Cannot create a control of class ") + className);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}
}  // namespace

CompanionWindow::CompanionWindow(const Design& design, ProfileSection placement)
    : placement_(std::move(placement)), title_(design.title) {
    Create(design);
}

CompanionWindow::~CompanionWindow() {
    Destroy();
}

void CompanionWindow::Create(const Design& design) {
    bigIcon_.reset(ProgramIcon(GetSystemMetrics(SM_CXICON)));
    smallIcon_.reset(ProgramIcon(GetSystemMetrics(SM_CXSMICON)));
    WindowClassLook look;
    look.icon = bigIcon_.get();
    look.cursor = LoadCursor(nullptr, IDC_ARROW);
    look.background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterWindowClass(design.className.c_str(), &Procedure, look);

    const Placement placed = LoadPlacement(placement_, kDesignTwips, kSmallest);
    normal_ = placed.normal;
    startMinimised_ = placed.minimised;
    const HMENU menu = MenuBar();
    hwnd_ = CreateWindowExA(0, design.className.c_str(), design.title.c_str(),
                            WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, normal_.left, normal_.top,
                            normal_.right - normal_.left, normal_.bottom - normal_.top, nullptr,
                            menu, ThisModule(), this);
    if (!hwnd_) {
        DestroyMenu(menu);
        throw base::Failure("Cannot create the window of " + design.title);
    }
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));

    font_.reset(CreateFontA(-MulDiv(kFontTenthsOfPoints, ScreenDotsPerInch(), 720), 0, 0, 0,
                            FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS,
                            kFontName));
    for (const std::string& label : design.statusLabels) {
        labels_.push_back(Child(hwnd_, "STATIC", SS_LEFT | SS_NOPREFIX, font_.get()));
        SetWindowTextA(labels_.back(), label.c_str());
        // What a value shows comes from peers and the network: an "&" is a character.
        values_.push_back(
            Child(hwnd_, "STATIC", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, font_.get()));
    }
    log_ =
        Child(hwnd_, "LISTBOX",
              WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT, font_.get());
    Layout();
    tray_ = std::make_unique<TrayIcon>(hwnd_, kTrayMessage, smallIcon_.get(), title_);
}

void CompanionWindow::Destroy() {
    tray_.reset();
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
        // Out of the message loop: the window is gone and with it the program's work.
        PostQuitMessage(0);
    }
    hwnd_ = nullptr;
}

void CompanionWindow::Show(bool asLeft) {
    if (asLeft && startMinimised_) {
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        HideInTray();
        return;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
}

void CompanionWindow::ComeForward() {
    if (!IsWindowVisible(hwnd_) || IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    // An open dialog is what the user wants in front.
    SetForegroundWindow(GetLastActivePopup(hwnd_));
}

void CompanionWindow::Pending() const {
    PostMessageA(hwnd_, kPendingMessage, 0, 0);
}

void CompanionWindow::AddLines(const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    // The newest line stays in view unless the user scrolled up to read.
    const int count = static_cast<int>(SendMessageA(log_, LB_GETCOUNT, 0, 0));
    RECT inner{};
    GetClientRect(log_, &inner);
    const int lineHeight =
        std::max<int>(1, static_cast<int>(SendMessageA(log_, LB_GETITEMHEIGHT, 0, 0)));
    const int top = static_cast<int>(SendMessageA(log_, LB_GETTOPINDEX, 0, 0));
    const bool following = top + inner.bottom / lineHeight >= count;

    SendMessageA(log_, WM_SETREDRAW, FALSE, 0);
    {
        const MeasuringDc dc(log_, font_.get());
        for (const std::string& line : lines) {
            SendMessageA(log_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
            SIZE extent{};
            GetTextExtentPoint32A(dc.Get(), line.c_str(), static_cast<int>(line.size()), &extent);
            logWidest_ = std::max<int>(logWidest_, extent.cx + 8);
        }
    }
    while (SendMessageA(log_, LB_GETCOUNT, 0, 0) > kLogLines)
        SendMessageA(log_, LB_DELETESTRING, 0, 0);
    SendMessageA(log_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(logWidest_), 0);
    if (following) {
        const int now = static_cast<int>(SendMessageA(log_, LB_GETCOUNT, 0, 0));
        SendMessageA(log_, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, now - 1)), 0);
    }
    SendMessageA(log_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(log_, nullptr, TRUE);
}

void CompanionWindow::SetStatus(const std::vector<std::string>& values,
                                const std::string& summary) {
    for (std::size_t i = 0; i < values.size() && i < values_.size(); ++i)
        if (TextOf(values_[i]) != values[i]) SetWindowTextA(values_[i], values[i].c_str());
    if (tray_) tray_->SetTip(title_ + ": " + summary);
}

void CompanionWindow::Layout() {
    RECT inner{};
    GetClientRect(hwnd_, &inner);
    const int margin = ScreenPixels(kMarginTwips);
    const int line = ScreenPixels(kStatusLineTwips);
    const int labelWidth = ScreenPixels(kLabelTwips);
    int y = margin;
    for (std::size_t i = 0; i < labels_.size(); ++i, y += line) {
        MoveWindow(labels_[i], margin, y, labelWidth, line, TRUE);
        MoveWindow(values_[i], margin + labelWidth, y,
                   std::max(0, static_cast<int>(inner.right) - 2 * margin - labelWidth), line,
                   TRUE);
    }
    y += margin / 2;
    MoveWindow(log_, margin, y, std::max(0, static_cast<int>(inner.right) - 2 * margin),
               std::max(0, static_cast<int>(inner.bottom) - y - margin), TRUE);
}

void CompanionWindow::Remember() {
    if (!IsWindowVisible(hwnd_) || IsIconic(hwnd_) || IsZoomed(hwnd_)) return;
    GetWindowRect(hwnd_, &normal_);
}

void CompanionWindow::SavePlacement() const {
    if (!hwnd_) return;
    Placement placement;
    placement.normal = normal_;
    // Hidden in the notification area, the window is still minimised.
    placement.minimised = IsIconic(hwnd_) || !IsWindowVisible(hwnd_);
    win32io::SavePlacement(placement_, placement);
}

void CompanionWindow::OnSize(WPARAM kind) {
    if (kind == SIZE_MINIMIZED) {
        HideInTray();
        return;
    }
    Layout();
    Remember();
}

void CompanionWindow::HideInTray() {
    // Into the notification area, where a click brings it back; without one it stays on the
    // taskbar.
    if (tray_ && tray_->Shown()) ShowWindow(hwnd_, SW_HIDE);
}

void CompanionWindow::OnTrayIcon(LPARAM event) {
    switch (LOWORD(event)) {
        case WM_LBUTTONUP:
        case NIN_SELECT:
        case NIN_KEYSELECT:
            ComeForward();
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            ShowTrayMenu();
            break;
        default:
            break;
    }
}

void CompanionWindow::ShowTrayMenu() {
    const OwnedMenu menu(CreatePopupMenu());
    AppendMenuA(menu.get(), MF_STRING, kRestoreCommand, "&Restore");
    AppendMenuA(menu.get(), MF_STRING, kExitCommand, "E&xit");
    SetMenuDefaultItem(menu.get(), kRestoreCommand, FALSE);
    POINT at{};
    GetCursorPos(&at);
    // The menu closes when the user clicks elsewhere only if the window is in the foreground.
    SetForegroundWindow(hwnd_);
    TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, at.x, at.y, 0, hwnd_, nullptr);
    PostMessageA(hwnd_, WM_NULL, 0, 0);
}

void CompanionWindow::OnCommand(WORD id) {
    switch (id) {
        case kSettingsCommand:
            if (onSettings) onSettings();
            break;
        case kExitCommand:
            PostMessageA(hwnd_, WM_CLOSE, 0, 0);
            break;
        case kAboutCommand:
            if (onAbout) onAbout();
            break;
        case kRestoreCommand:
            ComeForward();
            break;
        default:
            break;
    }
}

LRESULT CALLBACK CompanionWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        static_cast<CompanionWindow*>(create->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<CompanionWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);
    // A failure must not unwind through the system's message dispatch.
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT CompanionWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ComeForwardMessage()) {
        ComeForward();
        return 0;
    }
    if (message == TrayIcon::TaskbarCreatedMessage()) {
        if (tray_) tray_->AddAgain();
        return 0;
    }
    switch (message) {
        case kPendingMessage:
            if (onPending) onPending();
            return 0;
        case kTrayMessage:
            OnTrayIcon(lParam);
            return 0;
        case WM_COMMAND:
            if (lParam == 0) OnCommand(LOWORD(wParam));
            return 0;
        case WM_SIZE:
            OnSize(wParam);
            return 0;
        case WM_MOVE:
            Remember();
            return 0;
        case WM_GETMINMAXINFO:
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {kSmallest.cx, kSmallest.cy};
            return 0;
        case WM_CLOSE:
            if (onClose) onClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // Windows may end the process as soon as this returns.
            if (wParam && onEndSession) onEndSession();
            return 0;
        default:
            return DefWindowProcA(hwnd_, message, wParam, lParam);
    }
}

}  // namespace win32io
