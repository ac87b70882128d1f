#include "win32io/src/dialog_template.h"

namespace win32io {

DialogTemplate::DialogTemplate(const std::string& title, short width, short height,
                               const std::string& font, WORD pointSize) {
    Long(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    Long(0);  // extended style
    countAt_ = words_.size();
    Word(0);  // controls, counted by Add
    for (const short value : {short{0}, short{0}, width, height}) Word(static_cast<WORD>(value));
    Word(0);  // no menu
    Word(0);  // the standard dialog class
    Text(title);
    Word(pointSize);
    Text(font);
}

void DialogTemplate::Long(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
}

void DialogTemplate::Text(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    for (const wchar_t c : wide) Word(static_cast<WORD>(c));
    Word(0);
}

void DialogTemplate::AlignToLong() {
    if (words_.size() % 2 != 0) Word(0);
}

void DialogTemplate::Add(WORD id, Class kind, const std::string& text, DWORD style, short x,
                         short y, short width, short height) {
    AlignToLong();
    Long(style | WS_CHILD | WS_VISIBLE);
    Long(0);  // extended style
    for (const short value : {x, y, width, height}) Word(static_cast<WORD>(value));
    Word(id);
    Word(0xFFFF);
    Word(static_cast<WORD>(kind));
    Text(text);
    Word(0);  // no creation data
    ++words_[countAt_];
}

}  // namespace win32io
