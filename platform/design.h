#pragma once
// What a control looks like when it is created: the window design, in twips.
#include <string>

#include "base/color.h"

namespace platform {

struct Font {
    std::string face;  // "MS Sans Serif", "Fixedsys"
    float points = 8.25f;
    bool bold = false;
};

enum class Align { Left, Center, Right };

struct ControlDesign {
    std::string name;  // the control's name in the program, e.g. "lstStations"
    float left = 0, top = 0, width = 0, height = 0;  // twips, relative to the parent's inner area
    std::string caption;
    Font font;
    base::Color backColor = base::kWindowBackground;
    base::Color foreColor = base::kWindowText;
    Align alignment = Align::Left;
    bool border = false;    // single-line border
    bool visible = true;
    bool noPrefix = false;  // show "&" as itself: for text that comes from the peers
};

struct WindowDesign {
    std::string name;
    std::string title;
    float clientWidth = 0, clientHeight = 0;  // twips
    Font font;
};

}  // namespace platform
