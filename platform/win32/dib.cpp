#include "platform/win32/dib.h"

namespace platform::win32 {

GdiObject<HBITMAP> MakeDib(HDC like, int width, int height, std::uint32_t*& bits) {
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    GdiObject<HBITMAP> dib(CreateDIBSection(like, &format, DIB_RGB_COLORS, &pixels, nullptr, 0));
    bits = static_cast<std::uint32_t*>(pixels);
    return dib;
}

}  // namespace platform::win32
