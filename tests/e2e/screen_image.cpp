#include "screen_image.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace e2e {

namespace {

// PNG, written without compression: stored deflate blocks are a valid zlib stream and need no
// library.
class PngWriter {
  public:
    explicit PngWriter(std::ofstream& file) : file_(file) {}

    void Signature() { file_.write("\x89PNG\r\n\x1a\n", 8); }

    void Chunk(const char (&type)[5], const std::vector<std::uint8_t>& data) {
        Big32(static_cast<std::uint32_t>(data.size()));
        std::vector<std::uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), data.begin(), data.end());
        file_.write(reinterpret_cast<const char*>(typed.data()),
                    static_cast<std::streamsize>(typed.size()));
        Big32(Crc32(typed));
    }

    static void Append32(std::vector<std::uint8_t>& out, std::uint32_t value) {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<std::uint8_t>(value >> shift));
    }

    static std::vector<std::uint8_t> Zlib(const std::vector<std::uint8_t>& raw) {
        constexpr std::size_t kBlock = 65535;
        std::vector<std::uint8_t> out{0x78, 0x01};
        std::uint32_t a = 1, b = 0;
        for (std::uint8_t byte : raw) {
            a = (a + byte) % 65521;
            b = (b + a) % 65521;
        }
        std::size_t at = 0;
        do {
            const std::size_t size = std::min(kBlock, raw.size() - at);
            const bool last = at + size == raw.size();
            out.push_back(last ? 1 : 0);
            out.push_back(static_cast<std::uint8_t>(size));
            out.push_back(static_cast<std::uint8_t>(size >> 8));
            out.push_back(static_cast<std::uint8_t>(~size));
            out.push_back(static_cast<std::uint8_t>(~size >> 8));
            out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                       raw.begin() + static_cast<std::ptrdiff_t>(at + size));
            at += size;
        } while (at < raw.size());
        Append32(out, (b << 16) | a);
        return out;
    }

  private:
    void Big32(std::uint32_t value) {
        std::vector<std::uint8_t> bytes;
        Append32(bytes, value);
        file_.write(reinterpret_cast<const char*>(bytes.data()), 4);
    }

    static std::uint32_t Crc32(const std::vector<std::uint8_t>& data) {
        static const std::array<std::uint32_t, 256> table = [] {
            std::array<std::uint32_t, 256> t{};
            for (std::uint32_t n = 0; n < 256; ++n) {
                std::uint32_t c = n;
                for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
                t[n] = c;
            }
            return t;
        }();
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::uint8_t byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
        return crc ^ 0xFFFFFFFFu;
    }

    std::ofstream& file_;
};

}  // namespace

ScreenImage ScreenImage::OfInnerArea(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return OfScreen(rect);
}

ScreenImage ScreenImage::OfScreen(const RECT& rect) {
    ScreenImage image;
    image.width_ = std::max(0L, rect.right - rect.left);
    image.height_ = std::max(0L, rect.bottom - rect.top);
    if (image.width_ == 0 || image.height_ == 0) return image;

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = image.width_;
    format.bmiHeader.biHeight = -image.height_;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    const bool copied = bitmap && memory && [&] {
        const HGDIOBJ before = SelectObject(memory, bitmap);
        const BOOL done =
            BitBlt(memory, 0, 0, image.width_, image.height_, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, before);
        return done != FALSE;
    }();
    if (copied) {
        const auto* bgrx = static_cast<const std::uint8_t*>(bits);
        const std::size_t count = static_cast<std::size_t>(image.width_) * image.height_;
        image.rgb_.reserve(count * 3);
        for (std::size_t i = 0; i < count; ++i) {
            image.rgb_.push_back(bgrx[i * 4 + 2]);
            image.rgb_.push_back(bgrx[i * 4 + 1]);
            image.rgb_.push_back(bgrx[i * 4 + 0]);
        }
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) throw std::runtime_error("cannot read the screen");
    return image;
}

COLORREF ScreenImage::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::size_t i = (static_cast<std::size_t>(y) * width_ + x) * 3;
    return RGB(rgb_[i], rgb_[i + 1], rgb_[i + 2]);
}

bool ScreenImage::AnyIn(const RECT& area, COLORREF color) const {
    for (int y = std::max(0L, area.top); y < std::min<long>(height_, area.bottom); ++y)
        for (int x = std::max(0L, area.left); x < std::min<long>(width_, area.right); ++x)
            if (At(x, y) == color) return true;
    return false;
}

bool ScreenImage::SavePng(const std::string& path) const {
    std::ofstream file(path, std::ios::binary);
    if (!file) return false;
    PngWriter png(file);
    png.Signature();
    std::vector<std::uint8_t> header;
    PngWriter::Append32(header, static_cast<std::uint32_t>(width_));
    PngWriter::Append32(header, static_cast<std::uint32_t>(height_));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, no interlace
    png.Chunk("IHDR", header);
    std::vector<std::uint8_t> raw;
    const std::size_t row = static_cast<std::size_t>(width_) * 3;
    for (int y = 0; y < height_; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), rgb_.begin() + static_cast<std::ptrdiff_t>(y * row),
                   rgb_.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
    }
    png.Chunk("IDAT", PngWriter::Zlib(raw));
    png.Chunk("IEND", {});
    return static_cast<bool>(file);
}

std::string ScreenshotFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    // The tests are built in BUILD/e2e.
    const std::filesystem::path folder =
        std::filesystem::path(path).parent_path().parent_path() / "screenshots";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}

}  // namespace e2e
