#include "input_probe.h"

#include <stdexcept>
#include <string>

#include "panel_view.h"

namespace e2e {

namespace {
constexpr DWORD kPauseMs = 100;  // between presses
constexpr DWORD kPollMs = 5;

// labSel's text, or nothing while the window does not answer.
std::string TextNow(HWND label) {
    try {
        return TextOf(label);
    } catch (const std::runtime_error&) {
        return {};
    }
}
}  // namespace

InputProbe::InputProbe(const Program& program)
    : program_(program),
      bar_(program.ControlOfClass("ScrollBar")),
      selected_(SelectedHeadingLabel(program)) {
    if (!bar_ || !selected_) throw std::runtime_error("no scroll bar or labSel to probe with");
    thread_ = std::thread([this] { Run(); });
}

InputProbe::~InputProbe() {
    stop_ = true;
    thread_.join();
}

bool InputProbe::WaitForAnswers(int count, DWORD limitMs) const {
    const int wanted = answered_ + count;
    return WaitUntil([&] { return answered_ >= wanted; }, limitMs);
}

void InputProbe::Run() {
    while (!stop_) {
        // The value goes from 0 to 15 and back: a page each way.
        const bool down = TextNow(selected_) == "0";
        const std::string wanted = down ? "15" : "0";
        const ULONGLONG start = GetTickCount64();
        program_.PressKey(bar_, down ? VK_NEXT : VK_PRIOR);
        bool seen = false;
        while (!stop_ && !seen && GetTickCount64() - start < kPatienceMs) {
            Sleep(kPollMs);
            seen = TextNow(selected_) == wanted;
        }
        if (!seen) {
            if (!stop_) ++unanswered_;
            continue;
        }
        const ULONGLONG took = GetTickCount64() - start;
        if (took > longest_) longest_ = took;
        ++answered_;
        Sleep(kPauseMs);
    }
}

}  // namespace e2e
