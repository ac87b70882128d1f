// The frame: a window of our own that draws a group box with its caption and hosts controls,
// passing their notifications on (a BUTTON group box would keep them).
#include "platform/win32/impl.h"
#include "platform/win32/units.h"

namespace platform {

struct Frame::Impl : win32::ChildControl {
    Node node;
    ControlDesign design;
    win32::OwnedWindow hwnd;

    void Paint() const;
};

namespace {

constexpr char kFrameClass[] = "Vantro32Frame";

void FillBackground(HDC dc, const RECT& rect, base::Color color) {
    if (color.IsSystem()) {
        FillRect(dc, &rect, GetSysColorBrush(color.systemIndex));
        return;
    }
    const win32::GdiObject<HBRUSH> brush(CreateSolidBrush(win32::ColorRef(color)));
    FillRect(dc, &rect, brush.get());
}

LRESULT CALLBACK FrameProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* impl = static_cast<Frame::Impl*>(win32::ControlOf(hwnd));
    if (!impl) return DefWindowProcA(hwnd, message, wParam, lParam);
    LRESULT routed = 0;
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(hwnd, &client);
            FillBackground(reinterpret_cast<HDC>(wParam), client, impl->design.backColor);
            return 1;
        }
        case WM_PAINT:
            impl->Paint();
            return 0;
        default:
            if (win32::RouteToChild(message, wParam, lParam, routed)) return routed;
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void Frame::Impl::Paint() const {
    const win32::PaintScope paint(hwnd.get());
    const HDC dc = paint.Dc();
    const win32::Selection font(dc, win32::FontFor(design.font));
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    RECT client{};
    GetClientRect(hwnd.get(), &client);

    // The line runs through the middle of the caption, which stands on a gap in it.
    RECT box = client;
    box.top += metrics.tmHeight / 2;
    DrawEdge(dc, &box, EDGE_ETCHED, BF_RECT);

    SIZE text{};
    GetTextExtentPoint32A(dc, design.caption.c_str(), static_cast<int>(design.caption.size()),
                          &text);
    const int left = 8;
    const RECT gap{left - 2, 0, left + text.cx + 2, metrics.tmHeight};
    FillBackground(dc, gap, design.backColor);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, win32::ColorRef(design.foreColor));
    TextOutA(dc, left, 0, design.caption.c_str(), static_cast<int>(design.caption.size()));
}

Frame::Frame(Container& parent, const ControlDesign& design) : impl_(std::make_unique<Impl>()) {
    win32::RegisterClassOnce(kFrameClass, FrameProcedure);
    impl_->design = design;
    impl_->hwnd = win32::CreateChild(parent, kFrameClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                                     design, *impl_);
    impl_->node.hwnd = impl_->hwnd.get();
}

Frame::~Frame() = default;

Container::Node& Frame::ContainerNode() {
    return impl_->node;
}

float Frame::Left() const {
    return impl_->design.left;
}

}  // namespace platform
