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

}  // namespace win32io
