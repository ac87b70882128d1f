#include "win32io/src/tray_icon.h"

#include <algorithm>

namespace win32io {

namespace {
constexpr UINT kIconId = 1;
}  // namespace

TrayIcon::TrayIcon(HWND window, UINT callbackMessage, HICON icon, const std::string& tip)
    : window_(window), callbackMessage_(callbackMessage), icon_(icon), tip_(tip) {
    AddAgain();
}

TrayIcon::~TrayIcon() {
    if (!shown_) return;
    NOTIFYICONDATAA data = Data();
    Shell_NotifyIconA(NIM_DELETE, &data);
}

NOTIFYICONDATAA TrayIcon::Data() const {
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window_;
    data.uID = kIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon = icon_;
    // The tooltip holds 127 characters; a longer state is cut.
    const std::size_t length = std::min(tip_.size(), sizeof data.szTip - 1);
    tip_.copy(data.szTip, length);
    data.szTip[length] = '\0';
    return data;
}

void TrayIcon::AddAgain() {
    NOTIFYICONDATAA data = Data();
    shown_ = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
}

void TrayIcon::SetTip(const std::string& tip) {
    if (tip == tip_) return;
    tip_ = tip;
    if (!shown_) return;
    NOTIFYICONDATAA data = Data();
    data.uFlags = NIF_TIP;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

}  // namespace win32io
