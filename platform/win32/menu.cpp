// The menu bar: items of the bar act directly until an item is put under them, which makes them a
// menu of their own.
#include "platform/win32/impl.h"

namespace platform {

struct MenuItem::Impl {
    Window::Impl* window = nullptr;
    HMENU menu = nullptr;   // the menu that holds the item
    HMENU popup = nullptr;  // the item's own menu, once it has items; owned by the menu bar
    UINT id = 0;
    std::string caption;
    bool checked = false;
};

namespace {
void Register(MenuItem& item, MenuItem::Impl& impl, Window::Impl& window, HMENU menu,
              const std::string& caption) {
    impl.window = &window;
    impl.menu = menu;
    impl.id = window.nextMenuId++;
    impl.caption = caption;
    AppendMenuA(menu, MF_STRING, impl.id, caption.c_str());
    window.menuItems[impl.id] = &item;
    // An item under another changes nothing on the bar.
    if (menu == window.menuBar) DrawMenuBar(window.Handle());
}
}  // namespace

MenuItem::MenuItem(Window& window, const std::string& caption) : impl_(std::make_unique<Impl>()) {
    Window::Impl& owner = window.GetImpl();
    Register(*this, *impl_, owner, owner.menuBar, caption);
    // The menu bar takes its height from its first item; the inner area keeps the design's size.
    owner.FitClientToDesign();
}

MenuItem::MenuItem(MenuItem& parent, const std::string& caption) : impl_(std::make_unique<Impl>()) {
    Impl& above = parent.GetImpl();
    if (!above.popup) {
        above.popup = CreatePopupMenu();
        ModifyMenuA(above.menu, above.id, MF_BYCOMMAND | MF_POPUP | MF_STRING,
                    reinterpret_cast<UINT_PTR>(above.popup), above.caption.c_str());
        above.window->menuItems.erase(above.id);
    }
    Register(*this, *impl_, *above.window, above.popup, caption);
}

MenuItem::~MenuItem() {
    impl_->window->menuItems.erase(impl_->id);
}

bool MenuItem::Checked() const {
    return impl_->checked;
}

void MenuItem::SetChecked(bool checked) {
    impl_->checked = checked;
    CheckMenuItem(impl_->menu, impl_->id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

}  // namespace platform
