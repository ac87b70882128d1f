// Headless controls: plain state that tests can read, and events raised through the dispatch.
#include <cmath>

#include "base/failure.h"
#include "base/rounding.h"
#include "platform/headless/impl.h"
#include "platform/system.h"

namespace platform {

namespace headless {
float TwipsX() { return TheWorld().config.twipsPerPixelX; }
float TwipsY() { return TheWorld().config.twipsPerPixelY; }
}  // namespace headless

using headless::Dispatch;
using headless::Record;
using headless::TwipsX;
using headless::TwipsY;

namespace {
int ToPixelsX(float twips) { return base::TwipsToPixels(twips, TwipsX()); }
int ToPixelsY(float twips) { return base::TwipsToPixels(twips, TwipsY()); }
std::string Number(float value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}
}  // namespace

// Window

Window::Window(const WindowDesign& design) : impl_(std::make_unique<Impl>()) {
    const headless::Config& config = headless::CurrentConfig();
    impl_->self = this;
    impl_->node.name = design.name;
    impl_->title = design.title;
    impl_->widthPx = ToPixelsX(design.clientWidth) + config.frameWidthPx;
    impl_->heightPx = ToPixelsY(design.clientHeight) + config.frameHeightPx;
}
Window::~Window() = default;
Container::Node& Window::ContainerNode() { return impl_->node; }

float Window::Left() const { return impl_->leftPx * TwipsX(); }
float Window::Top() const { return impl_->topPx * TwipsY(); }
float Window::Width() const { return impl_->widthPx * TwipsX(); }
float Window::Height() const { return impl_->heightPx * TwipsY(); }
float Window::ScaleWidth() const {
    return (impl_->widthPx - headless::CurrentConfig().frameWidthPx) * TwipsX();
}
float Window::ScaleHeight() const {
    return (impl_->heightPx - headless::CurrentConfig().frameHeightPx) * TwipsY();
}

namespace {
void RequireNormal(const Window::Impl& impl) {
    if (impl.state != WindowState::Normal)
        throw base::Failure("A form can't be moved or sized while minimized or maximized");
}
}  // namespace

void Window::SetLeft(float twips) {
    Record("Window.SetLeft " + Number(twips));
    RequireNormal(*impl_);
    impl_->leftPx = ToPixelsX(twips);
}
void Window::SetTop(float twips) {
    Record("Window.SetTop " + Number(twips));
    RequireNormal(*impl_);
    impl_->topPx = ToPixelsY(twips);
}
void Window::SetSize(float width, float height) {
    Record("Window.SetSize " + Number(width) + " " + Number(height));
    RequireNormal(*impl_);
    const int w = ToPixelsX(width), h = ToPixelsY(height);
    if (w == impl_->widthPx && h == impl_->heightPx) return;
    impl_->widthPx = w;
    impl_->heightPx = h;
    Dispatch(OnResize);
}
WindowState Window::State() const { return impl_->state; }
void Window::SetState(WindowState state) {
    Record("Window.SetState " + std::to_string(static_cast<int>(state)));
    if (state == impl_->state) return;
    impl_->state = state;
    Dispatch(OnResize);
}
void Window::Show() {
    Record("Window.Show");
    impl_->shown = true;
}
void Window::Unload() {
    if (impl_->destroyed) return;
    Record("Window.Unload");
    Dispatch(OnUnload);
    impl_->destroyed = true;
    impl_->shown = false;
    headless::TheWorld().ended = true;
}

// Menu items

MenuItem::MenuItem(Window&, const std::string& caption) : impl_(std::make_unique<Impl>()) {
    impl_->caption = caption;
    impl_->self = this;
}
MenuItem::MenuItem(MenuItem&, const std::string& caption) : impl_(std::make_unique<Impl>()) {
    impl_->caption = caption;
    impl_->self = this;
}
MenuItem::~MenuItem() = default;
bool MenuItem::Checked() const { return impl_->checked; }
void MenuItem::SetChecked(bool checked) {
    Record("Menu." + impl_->caption + ".Checked " + std::to_string(checked));
    impl_->checked = checked;
}

// Labels (the DDE link slot is in dde.cpp)

Label::Label(Container&, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->self = this;
    impl_->design = design;
    impl_->caption = design.caption;
    impl_->backColor = design.backColor;
    impl_->visible = design.visible;
}
Label::~Label() {
    auto& linked = headless::LinkedLabels();
    std::erase(linked, impl_.get());
}
const std::string& Label::Caption() const { return impl_->caption; }
void Label::SetCaption(const std::string& text) {
    impl_->caption = text;
    Dispatch(OnChange);
}
base::Color Label::BackColor() const { return impl_->backColor; }
void Label::SetBackColor(base::Color color) {
    Record("Label." + impl_->design.name + ".BackColor " + headless::ColorText(color));
    impl_->backColor = color;
}
bool Label::Visible() const { return impl_->visible; }
void Label::SetVisible(bool visible) { impl_->visible = visible; }

// List box

ListBox::ListBox(Container&, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->design = design;
}
ListBox::~ListBox() = default;
void ListBox::AddItem(const std::string& text) {
    impl_->items.push_back(text);
    impl_->newIndex = static_cast<int>(impl_->items.size()) - 1;
}
void ListBox::RemoveItem(int index) {
    if (index < 0 || index >= ListCount()) throw base::Failure("Invalid procedure call or argument");
    impl_->items.erase(impl_->items.begin() + index);
    if (impl_->listIndex == index) impl_->listIndex = -1;
    else if (impl_->listIndex > index) --impl_->listIndex;
    if (impl_->newIndex >= ListCount()) impl_->newIndex = ListCount() - 1;
}
int ListBox::ListCount() const { return static_cast<int>(impl_->items.size()); }
int ListBox::ListIndex() const { return impl_->listIndex; }
void ListBox::SetListIndex(int index) {
    if (index < -1 || index >= ListCount()) throw base::Failure("Invalid property value");
    impl_->listIndex = index;
    if (index >= 0) impl_->topIndex = index;  // scrolled into view
}
int ListBox::NewIndex() const { return impl_->newIndex; }
std::string ListBox::List(int index) const {
    if (index < 0 || index >= ListCount()) throw base::Failure("Invalid procedure call or argument");
    return impl_->items[static_cast<std::size_t>(index)];
}

// Frame

Frame::Frame(Container&, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->design = design;
    impl_->node.name = design.name;
}
Frame::~Frame() = default;
Container::Node& Frame::ContainerNode() { return impl_->node; }
float Frame::Left() const { return impl_->design.left; }

// Command button

CommandButton::CommandButton(Container&, const ControlDesign& design)
    : impl_(std::make_unique<Impl>()) {
    impl_->design = design;
    impl_->visible = design.visible;
}
CommandButton::~CommandButton() = default;
bool CommandButton::Visible() const { return impl_->visible; }
void CommandButton::SetVisible(bool visible) {
    Record("Button." + impl_->design.name + ".Visible " + std::to_string(visible));
    impl_->visible = visible;
}

// Vertical scroll bar

VScrollBar::VScrollBar(Container&, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    impl_->design = design;
}
VScrollBar::~VScrollBar() = default;
int VScrollBar::Min() const { return impl_->min; }
int VScrollBar::Max() const { return impl_->max; }
int VScrollBar::SmallChange() const { return impl_->smallChange; }
int VScrollBar::LargeChange() const { return impl_->largeChange; }
int VScrollBar::Value() const { return impl_->value; }
void VScrollBar::SetMin(int value) {
    Record("ScrollBar." + impl_->design.name + ".Min " + std::to_string(value));
    impl_->min = value;
}
void VScrollBar::SetMax(int value) {
    Record("ScrollBar." + impl_->design.name + ".Max " + std::to_string(value));
    impl_->max = value;
}
void VScrollBar::SetSmallChange(int value) { impl_->smallChange = value; }
void VScrollBar::SetLargeChange(int value) { impl_->largeChange = value; }
void VScrollBar::SetValue(int value) {
    if (value < std::min(impl_->min, impl_->max) || value > std::max(impl_->min, impl_->max))
        throw base::Failure("Invalid property value");
    if (value == impl_->value) return;
    impl_->value = value;
    Dispatch(OnChange);
}

// Timer

Timer::Timer(Window&, int intervalMs) : impl_(std::make_unique<Impl>()) {
    impl_->interval = intervalMs;
}
Timer::~Timer() = default;
int Timer::Interval() const { return impl_->interval; }
bool Timer::Enabled() const { return impl_->enabled; }
void Timer::SetEnabled(bool enabled) {
    Record(std::string("Timer.Enabled ") + (enabled ? "1" : "0"));
    impl_->enabled = enabled;
}

}  // namespace platform
