// The station list: a LISTBOX with 8-bit text, the design's colours, and key presses raised as
// KeyPress (Enter included: the dialog keys would otherwise turn it into a default-button press).
#include <vector>

#include "base/failure.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/impl.h"
#include "platform/win32/units.h"

namespace platform {

struct ListBox::Impl : win32::ChildControl {
    ListBox* self = nullptr;
    ControlDesign design;
    win32::OwnedWindow hwnd;
    WNDPROC listProcedure = nullptr;  // the LISTBOX class's own
    win32::GdiObject<HBRUSH> backBrush;
    int newIndex = -1;

    void Command(WORD notification) override {
        if (notification == LBN_DBLCLK) win32::Dispatch(self->OnDblClick);
    }
    HBRUSH Colors(HDC dc) override {
        SetTextColor(dc, win32::ColorRef(design.foreColor));
        SetBkColor(dc, win32::ColorRef(design.backColor));
        return backBrush.get();
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageA(hwnd.get(), message, wParam, lParam);
    }
    void RequireLine(int index) const {
        if (index < 0 || index >= static_cast<int>(Send(LB_GETCOUNT)))
            throw base::Failure("Invalid procedure call or argument");
    }
    LRESULT KeyPress(HWND hwnd, WPARAM wParam, LPARAM lParam);
};

namespace {
LRESULT CALLBACK ListProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* impl = static_cast<ListBox::Impl*>(win32::ControlOf(hwnd));
    // Held whole, so that the line a held click selects is the line it is replayed on.
    if (win32::IsInput(message) && win32::HoldMessage(hwnd, message, wParam, lParam)) return 0;
    switch (message) {
        case WM_GETDLGCODE: {
            LRESULT code = CallWindowProcA(impl->listProcedure, hwnd, message, wParam, lParam);
            const auto* key = reinterpret_cast<const MSG*>(lParam);
            if (key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN)
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_CHAR:
            return impl->KeyPress(hwnd, wParam, lParam);
        default:
            return CallWindowProcA(impl->listProcedure, hwnd, message, wParam, lParam);
    }
}
}  // namespace

// The handler may change the key or cancel it (0) before the list sees it.
LRESULT ListBox::Impl::KeyPress(HWND listHwnd, WPARAM wParam, LPARAM lParam) {
    std::int16_t keyAscii = static_cast<unsigned char>(wParam);
    win32::Dispatch([&] {
        if (self->OnKeyPress) self->OnKeyPress(keyAscii);
    });
    if (keyAscii == 0 || !IsWindow(listHwnd)) return 0;
    return CallWindowProcA(listProcedure, listHwnd, WM_CHAR,
                           static_cast<WPARAM>(static_cast<unsigned char>(keyAscii)), lParam);
}

ListBox::ListBox(Container& parent, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->self = this;
    impl_->design = design;
    impl_->backBrush.reset(CreateSolidBrush(win32::ColorRef(design.backColor)));
    impl_->hwnd = win32::CreateChild(parent, "LISTBOX",
                                     LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                                     WS_EX_CLIENTEDGE, design, *impl_);
    impl_->listProcedure = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        impl_->hwnd.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ListProcedure)));
}

ListBox::~ListBox() = default;

void ListBox::AddItem(const std::string& text) {
    const LRESULT index = impl_->Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) throw base::Failure("Out of memory");
    impl_->newIndex = static_cast<int>(index);
}

void ListBox::RemoveItem(int index) {
    impl_->RequireLine(index);
    impl_->Send(LB_DELETESTRING, static_cast<WPARAM>(index));
    if (impl_->newIndex >= ListCount()) impl_->newIndex = ListCount() - 1;
}

int ListBox::ListCount() const {
    return static_cast<int>(impl_->Send(LB_GETCOUNT));
}

int ListBox::ListIndex() const {
    return static_cast<int>(impl_->Send(LB_GETCURSEL));
}

void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) throw base::Failure("Invalid property value");
    // LB_SETCURSEL also scrolls the line into view.
    impl_->Send(LB_SETCURSEL, static_cast<WPARAM>(index));
}

int ListBox::NewIndex() const {
    return impl_->newIndex;
}

std::string ListBox::List(int index) const {
    impl_->RequireLine(index);
    const LRESULT length = impl_->Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    std::vector<char> text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
    const LRESULT copied =
        impl_->Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

}  // namespace platform
