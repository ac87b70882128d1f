#pragma once
// The 32-bit top-down DIB sections the backend draws on, whose pixels it also reaches directly.
#include <windows.h>

#include <cstdint>

#include "platform/win32/handles.h"

namespace platform::win32 {

// A DIB section selected into a memory device context, as drawing sees it.
struct DibImage {
    HDC dc;
    std::uint32_t* bits;  // row by row from the top, `width` to a row
    int width, height;
};

// A DIB section of width × height pixels, compatible with `like`; `bits` is set to its pixels.
// Null when out of memory.
GdiObject<HBITMAP> MakeDib(HDC like, int width, int height, std::uint32_t*& bits);

}  // namespace platform::win32
