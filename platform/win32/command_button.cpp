// The command button: a push button raising Click (also from its access key).
#include "platform/win32/dispatch.h"
#include "platform/win32/impl.h"

namespace platform {

struct CommandButton::Impl : win32::ChildControl {
    CommandButton* self = nullptr;
    win32::OwnedWindow hwnd;

    void Command(WORD notification) override {
        if (notification == BN_CLICKED) win32::Dispatch(self->OnClick);
    }
};

CommandButton::CommandButton(Container& parent, const ControlDesign& design)
    : impl_(std::make_unique<Impl>()) {
    impl_->self = this;
    impl_->hwnd =
        win32::CreateChild(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, design, *impl_);
}

CommandButton::~CommandButton() = default;

bool CommandButton::Visible() const {
    return (GetWindowLongA(impl_->hwnd.get(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void CommandButton::SetVisible(bool visible) {
    ShowWindow(impl_->hwnd.get(), visible ? SW_SHOW : SW_HIDE);
}

}  // namespace platform
