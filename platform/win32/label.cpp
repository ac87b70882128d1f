// Labels: STATIC controls in the design's font and colours. (Their DDE link is label_link.cpp.)
#include "platform/win32/dispatch.h"
#include "platform/win32/impl.h"
#include "platform/win32/units.h"

namespace platform {

namespace {
// Left-aligned text stays on one line: a caption a pixel too long for its label is cut at its end
// rather than losing its last word to a second line that the label is too low to show.
DWORD LabelStyle(const ControlDesign& design) {
    DWORD style = design.alignment == Align::Center  ? SS_CENTER
                  : design.alignment == Align::Right ? SS_RIGHT
                                                     : SS_LEFTNOWORDWRAP;
    if (design.noPrefix) style |= SS_NOPREFIX;
    if (design.border) style |= WS_BORDER;
    return style;
}
}  // namespace

HBRUSH Label::Impl::Colors(HDC dc) {
    SetTextColor(dc, win32::ColorRef(design.foreColor));
    SetBkColor(dc, win32::ColorRef(backColor));
    return backBrush ? backBrush.get() : GetSysColorBrush(backColor.systemIndex);
}

Label::Label(Container& parent, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->self = this;
    impl_->design = design;
    impl_->caption = design.caption;
    SetBackColor(design.backColor);
    impl_->hwnd = win32::CreateChild(parent, "STATIC", LabelStyle(design), 0, design, *impl_);
}

Label::~Label() = default;

const std::string& Label::Caption() const {
    return impl_->caption;
}

void Label::SetCaption(const std::string& text) {
    impl_->caption = text;
    // A hidden label (a link slot) shows nothing: its caption, a value of any size from a peer,
    // is not copied into the control until the label is shown.
    if (Visible()) SetWindowTextA(impl_->hwnd.get(), text.c_str());
    win32::Dispatch(OnChange);
}

base::Color Label::BackColor() const {
    return impl_->backColor;
}

void Label::SetBackColor(base::Color color) {
    impl_->backColor = color;
    impl_->backBrush.reset(color.IsSystem() ? nullptr : CreateSolidBrush(win32::ColorRef(color)));
    if (impl_->hwnd) InvalidateRect(impl_->hwnd.get(), nullptr, TRUE);
}

bool Label::Visible() const {
    return (GetWindowLongA(impl_->hwnd.get(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Label::SetVisible(bool visible) {
    if (visible && !Visible()) SetWindowTextA(impl_->hwnd.get(), impl_->caption.c_str());
    ShowWindow(impl_->hwnd.get(), visible ? SW_SHOW : SW_HIDE);
}

}  // namespace platform
