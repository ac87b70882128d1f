// The vertical scroll bar. It has no page, so that the value reaches both ends of its range; the
// arrows and the trough move it by the small and the large change.
#include <algorithm>

#include "base/failure.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/impl.h"

namespace platform {

struct VScrollBar::Impl : win32::ChildControl {
    VScrollBar* self = nullptr;
    win32::OwnedWindow hwnd;
    int min = 0, max = 32767, smallChange = 1, largeChange = 1, value = 0;
    bool dragging = false;
    int valueAtDragStart = 0;

    int Low() const { return std::min(min, max); }
    int High() const { return std::max(min, max); }
    void ShowRange() {
        value = std::clamp(value, Low(), High());
        SCROLLINFO info{
            sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, Low(), High(), 0, value, 0};
        SetScrollInfo(hwnd.get(), SB_CTL, &info, TRUE);
    }
    int TrackPosition() const {
        SCROLLINFO info{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
        GetScrollInfo(hwnd.get(), SB_CTL, &info);
        return info.nTrackPos;
    }
    // Moves to a value within the range; returns whether it changed.
    bool MoveTo(int wanted) {
        const int next = std::clamp(wanted, Low(), High());
        const bool changed = next != value;
        value = next;
        SetScrollPos(hwnd.get(), SB_CTL, value, TRUE);
        return changed;
    }
    void Step(int delta) {
        if (MoveTo(value + delta)) win32::Dispatch(self->OnChange);
    }
    void Scroll(WPARAM request) override;
};

void VScrollBar::Impl::Scroll(WPARAM request) {
    switch (LOWORD(request)) {
        case SB_LINEUP:
            Step(-smallChange);
            break;
        case SB_LINEDOWN:
            Step(smallChange);
            break;
        case SB_PAGEUP:
            Step(-largeChange);
            break;
        case SB_PAGEDOWN:
            Step(largeChange);
            break;
        case SB_TOP:
            Step(Low() - value);
            break;
        case SB_BOTTOM:
            Step(High() - value);
            break;
        case SB_THUMBTRACK:
            if (!dragging) {
                dragging = true;
                valueAtDragStart = value;
            }
            MoveTo(TrackPosition());
            win32::Dispatch(self->OnScroll);
            break;
        case SB_THUMBPOSITION: {
            const int before = dragging ? valueAtDragStart : value;
            dragging = false;
            MoveTo(TrackPosition());
            if (value != before) win32::Dispatch(self->OnChange);
            break;
        }
        default:
            break;
    }
}

VScrollBar::VScrollBar(Container& parent, const ControlDesign& design)
    : impl_(std::make_unique<Impl>()) {
    impl_->self = this;
    impl_->hwnd = win32::CreateChild(parent, "SCROLLBAR", SBS_VERT | WS_TABSTOP, 0, design, *impl_);
    impl_->ShowRange();
}

VScrollBar::~VScrollBar() = default;

int VScrollBar::Min() const {
    return impl_->min;
}
int VScrollBar::Max() const {
    return impl_->max;
}
int VScrollBar::SmallChange() const {
    return impl_->smallChange;
}
int VScrollBar::LargeChange() const {
    return impl_->largeChange;
}
int VScrollBar::Value() const {
    return impl_->value;
}

void VScrollBar::SetMin(int value) {
    impl_->min = value;
    impl_->ShowRange();
}
void VScrollBar::SetMax(int value) {
    impl_->max = value;
    impl_->ShowRange();
}
void VScrollBar::SetSmallChange(int value) {
    impl_->smallChange = value;
}
void VScrollBar::SetLargeChange(int value) {
    impl_->largeChange = value;
}

void VScrollBar::SetValue(int value) {
    if (value < impl_->Low() || value > impl_->High())
        throw base::Failure("Invalid property value");
    if (impl_->MoveTo(value)) win32::Dispatch(OnChange);
}

}  // namespace platform
