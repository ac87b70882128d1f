#pragma once
// The toolkit as the window logic sees it: one window with a menu bar and classic controls. Every
// position and size is in twips. Each backend (win32, headless) defines the Impl of every class.
//
// Events are plain callbacks that the window logic sets; the backend calls them through its event
// dispatch, which catches whatever escapes a handler, so that one failing event never ends the
// program.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/design.h"

namespace platform {

// A control that holds other controls: the window, a frame, a picture box.
class Container {
public:
    struct Node;  // the backend's view of the container
    virtual Node& ContainerNode() = 0;

protected:
    ~Container() = default;
};

enum class WindowState { Normal, Minimized, Maximized };

class Window : public Container {
public:
    explicit Window(const WindowDesign& design);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Outer position and size, twips.
    float Left() const;
    float Top() const;
    float Width() const;
    float Height() const;
    void SetLeft(float twips);
    void SetTop(float twips);
    void SetSize(float width, float height);
    // Inner (client) size, twips.
    float ScaleWidth() const;
    float ScaleHeight() const;

    WindowState State() const;
    void SetState(WindowState state);

    void Show();    // shows the window, not modal (minimised if its state says so)
    void Unload();  // closes the window as its close control does: raises OnUnload, then destroys it

    std::function<void()> OnResize;  // every size change, the program's own included
    std::function<void()> OnUnload;  // the window is closing, by any means

    struct Impl;
    Impl& GetImpl() { return *impl_; }
    Node& ContainerNode() override;

private:
    std::unique_ptr<Impl> impl_;
};

class MenuItem {
public:
    MenuItem(Window& window, const std::string& caption);    // an item of the menu bar
    MenuItem(MenuItem& parent, const std::string& caption);  // an item under a menu-bar item
    ~MenuItem();
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    bool Checked() const;
    void SetChecked(bool checked);

    std::function<void()> OnClick;

    struct Impl;
    Impl& GetImpl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

// A label. It is also a DDE link slot: its caption is the value of the linked item.
class Label {
public:
    Label(Container& parent, const ControlDesign& design);
    ~Label();
    Label(const Label&) = delete;
    Label& operator=(const Label&) = delete;

    const std::string& Caption() const;
    void SetCaption(const std::string& text);  // raises OnChange
    base::Color BackColor() const;
    void SetBackColor(base::Color color);
    bool Visible() const;
    void SetVisible(bool visible);

    // DDE client link.
    const std::string& LinkTopic() const;
    void SetLinkTopic(const std::string& topic);  // "APPLICATION|TOPIC"
    const std::string& LinkItem() const;
    void SetLinkItem(const std::string& item);
    int LinkMode() const;
    // 0 ends the conversation; 1 opens a hot link to LinkTopic / LinkItem (no initial value) and
    // throws base::Failure when no server answers.
    void SetLinkMode(int mode);
    // Sends the caption to the linked item; throws base::Failure when the server refuses it, does
    // not answer in time, or there is no conversation.
    void LinkPoke();

    std::function<void()> OnChange;          // the caption changed: set by the program or received
    std::function<void()> OnLinkClose;       // the conversation ended
    std::function<void(int)> OnLinkError;    // an error in the conversation, with its number

    struct Impl;
    Impl& GetImpl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

class ListBox {
public:
    ListBox(Container& parent, const ControlDesign& design);
    ~ListBox();
    ListBox(const ListBox&) = delete;
    ListBox& operator=(const ListBox&) = delete;

    void AddItem(const std::string& text);  // at the end
    void RemoveItem(int index);             // throws base::Failure for an index out of range
    int ListCount() const;
    int ListIndex() const;  // the selected line, -1 for none
    void SetListIndex(int index);  // selects and scrolls into view; -1 clears the selection
    int NewIndex() const;   // index of the line added last, -1 before any
    std::string List(int index) const;  // throws base::Failure for an index out of range

    std::function<void()> OnDblClick;
    std::function<void(std::int16_t& keyAscii)> OnKeyPress;

    struct Impl;
    Impl& GetImpl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

class Frame : public Container {
public:
    Frame(Container& parent, const ControlDesign& design);
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    float Left() const;

    struct Impl;
    Impl& GetImpl() { return *impl_; }
    Node& ContainerNode() override;

private:
    std::unique_ptr<Impl> impl_;
};

class CommandButton {
public:
    CommandButton(Container& parent, const ControlDesign& design);
    ~CommandButton();
    CommandButton(const CommandButton&) = delete;
    CommandButton& operator=(const CommandButton&) = delete;

    bool Visible() const;
    void SetVisible(bool visible);

    std::function<void()> OnClick;

    struct Impl;
    Impl& GetImpl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

class VScrollBar {
public:
    VScrollBar(Container& parent, const ControlDesign& design);
    ~VScrollBar();
    VScrollBar(const VScrollBar&) = delete;
    VScrollBar& operator=(const VScrollBar&) = delete;

    int Min() const;
    int Max() const;
    int SmallChange() const;
    int LargeChange() const;
    int Value() const;
    void SetMin(int value);
    void SetMax(int value);
    void SetSmallChange(int value);
    void SetLargeChange(int value);
    void SetValue(int value);  // raises OnChange when the value changes

    std::function<void()> OnChange;  // the value changed: a click, a key, the thumb released
    std::function<void()> OnScroll;  // the thumb is being dragged

    struct Impl;
    Impl& GetImpl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

class Timer {
public:
    Timer(Window& window, int intervalMs);  // created switched off
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    int Interval() const;
    bool Enabled() const;
    void SetEnabled(bool enabled);

    std::function<void()> OnTimer;

    struct Impl;
    Impl& GetImpl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

enum class FillStyle { Solid, Transparent };
enum class DrawStyle { Solid };
enum class DrawMode { CopyPen };

// A picture box with a persistent image: what is drawn stays until drawn over, and is shown again
// whenever the window repaints. Drawing coordinates are twips from the inner top-left corner.
class PictureBox : public Container {
public:
    PictureBox(Container& parent, const ControlDesign& design);
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    float ScaleWidth() const;   // inner width, twips
    float ScaleHeight() const;  // inner height, twips

    void SetFillColor(base::Color color);
    void SetFillStyle(FillStyle style);
    void SetDrawWidth(int pixels);
    void SetDrawStyle(DrawStyle style);
    void SetDrawMode(DrawMode mode);
    void SetForeColor(base::Color color);  // text colour
    base::Color FillColor() const;
    FillStyle GetFillStyle() const;
    int DrawWidth() const;
    base::Color ForeColor() const;

    // Circle outlined in `outline` with the draw width, filled with the fill colour when the fill
    // style is solid.
    void Circle(float x, float y, float radius, base::Color outline);
    void Line(float x1, float y1, float x2, float y2, base::Color color);
    void PrintText(float left, float top, const std::string& text);  // in the picture's font
    float TextWidth(const std::string& text) const;
    float TextHeight(const std::string& text) const;
    // Flood fill of the image from a pixel with the fill colour, as GDI's ExtFloodFill: fillType 0
    // (border) fills outward until pixels of `color` are met. Returns whether anything was filled.
    bool ExtFloodFill(int pixelX, int pixelY, base::Color color, unsigned fillType);

    struct Impl;
    Impl& GetImpl() { return *impl_; }
    Node& ContainerNode() override;

private:
    std::unique_ptr<Impl> impl_;
};

inline constexpr unsigned kFloodFillBorder = 0;

}  // namespace platform
