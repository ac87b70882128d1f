#pragma once
// Owning wrappers of the Windows handles the companions' frame makes: each is released exactly
// once, by its owner's destructor.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace win32io {

struct KernelHandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
// A mutex, event, file or process handle; never INVALID_HANDLE_VALUE (keep nullptr instead).
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleDeleter>;

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};
// A menu no window owns (a window destroys the menu bar it holds).
using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
// An icon loaded without LR_SHARED.
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// A window's device context (the screen's for nullptr) for a scope, with the font selected in
// it while it is held: for measuring text, and for the screen's resolution.
class MeasuringDc {
  public:
    explicit MeasuringDc(HWND hwnd, HFONT font = nullptr)
        : hwnd_(hwnd), dc_(GetDC(hwnd)), before_(dc_ && font ? SelectObject(dc_, font) : nullptr) {}
    ~MeasuringDc() {
        if (!dc_) return;
        if (before_) SelectObject(dc_, before_);
        ReleaseDC(hwnd_, dc_);
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
    HGDIOBJ before_;
};

}  // namespace win32io
