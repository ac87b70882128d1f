#pragma once
// Owning wrappers of the Windows handles the backend creates: each is released exactly once, by
// its owner's destructor.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace platform::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
// A font, brush, pen or bitmap made by the backend (never a stock object).
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<HDC__, MemoryDcDeleter>;

// A window the backend created. Child windows usually go with their parent; whichever comes first
// destroys it.
struct WindowDeleter {
    void operator()(HWND hwnd) const {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
};
using OwnedWindow = std::unique_ptr<HWND__, WindowDeleter>;

// The device context of a window (or of the screen), as GetDC gives it.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// An object selected into a device context for a scope; the previous one comes back after.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~Selection() {
        if (previous_) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint / EndPaint.
class PaintScope {
  public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &paint_); }
    ~PaintScope() { EndPaint(hwnd_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC Dc() const { return paint_.hdc; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
};

}  // namespace platform::win32
