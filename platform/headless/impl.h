#pragma once
// Definitions of the headless controls' state, shared by the backend's files.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/headless/world.h"

namespace platform {

struct Container::Node {
    std::string name;
};

struct Window::Impl {
    Node node;
    Window* self = nullptr;
    std::string title;
    int leftPx = 0, topPx = 0, widthPx = 0, heightPx = 0;  // outer
    WindowState state = WindowState::Normal;
    bool shown = false;
    bool destroyed = false;
    bool topmost = false;
};

struct MenuItem::Impl {
    std::string caption;
    bool checked = false;
    MenuItem* self = nullptr;
};

struct Label::Impl {
    Label* self = nullptr;
    ControlDesign design;
    std::string caption;
    base::Color backColor;
    bool visible = true;
    std::string linkTopic, linkItem;
    int linkMode = 0;
    headless::DdeServer* server = nullptr;  // the conversation, while one is open
};

struct ListBox::Impl {
    ControlDesign design;
    std::vector<std::string> items;
    int listIndex = -1;
    int newIndex = -1;
    int topIndex = 0;
};

struct Frame::Impl {
    Node node;
    ControlDesign design;
};

struct CommandButton::Impl {
    ControlDesign design;
    bool visible = true;
};

struct VScrollBar::Impl {
    ControlDesign design;
    int min = 0, max = 32767, smallChange = 1, largeChange = 1, value = 0;
    int valueAtDragStart = 0;
    bool dragging = false;
};

struct Timer::Impl {
    int interval = 0;
    bool enabled = false;
};

namespace headless {
// Every label with an open conversation, for the DDE bus.
std::vector<Label::Impl*>& LinkedLabels();
float TwipsX();
float TwipsY();
DdeServer* FindServer(const std::string& linkTopic);  // counts the attempt
}  // namespace headless

}  // namespace platform
