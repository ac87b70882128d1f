#pragma once
// Driving and inspecting the headless backend from tests: the world the program runs in (screen,
// program path), the user's hands (clicks, keys, resizes), the system (timer ticks, message boxes)
// and the DDE peers (an in-process bus with scriptable servers).
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

#include "base/color.h"
#include "platform/controls.h"

namespace platform::headless {

struct Config {
    int screenWidthPx = 1024, screenHeightPx = 768;
    float twipsPerPixelX = 15, twipsPerPixelY = 15;
    std::string programDirectory = "/tmp";  // where the settings file goes
    std::string programName = "Vantro32";
    // Non-client frame of the window in pixels: borders, caption and menu bar.
    int frameWidthPx = 8, frameHeightPx = 46;
    // Border of a picture box in pixels, each side.
    int pictureBorderPx = 1;
};

// Starts a fresh world: configuration, trace, message boxes, DDE bus, injected failures.
void Reset(const Config& config = {});
const Config& CurrentConfig();

// Every platform operation the program made, in order, e.g. "Window.Show", "DoEvents",
// "Label.labLinked.BackColor 255,0,0", "Label.labDDE.LinkMode 1 WENDRA|WENDATA!labDxSpot",
// "MessageBox 48 Vantro32: text", "Profile.Write SETUP LEFT=120", "SetWindowPos -1 3".
const std::vector<std::string>& Trace();
void ClearTrace();
// Makes the next operation whose trace entry starts with `prefix` throw base::Failure(description).
void FailNext(const std::string& prefix, const std::string& description);

struct MessageRecord {
    std::string text, title;
    unsigned style = 0;
};
const std::vector<MessageRecord>& Messages();
// Called while a message box is open (it is modal: the program waits until this returns).
void OnMessageBox(std::function<void(const MessageRecord&)> hook);

bool ProgramEnded();  // EndProgram was called, or the window was unloaded
// Descriptions of the failures that escaped event handlers and were caught by the dispatch.
const std::vector<std::string>& SwallowedFailures();

// The user's hands.
void Click(MenuItem& item);
void Click(CommandButton& button);
void Select(ListBox& list, int index);  // the user selects a line
void DoubleClick(ListBox& list);
void PressKey(ListBox& list, std::int16_t keyAscii);
void DragThumb(VScrollBar& bar, int value);  // raises OnScroll
void ReleaseThumb(VScrollBar& bar);          // raises OnChange when the value moved
void LineDown(VScrollBar& bar);              // arrow clicks and trough clicks
void LineUp(VScrollBar& bar);
void PageDown(VScrollBar& bar);
void PageUp(VScrollBar& bar);
void UserResize(Window& window, float width, float height);
void Minimize(Window& window);
void Restore(Window& window);
void Maximize(Window& window);
void Close(Window& window);  // the close control, or Windows ending the session
bool IsShown(const Window& window);
bool IsTopmost(const Window& window);

// The system.
bool Tick(Timer& timer);  // one tick, when the timer is on; returns whether it ticked

// The persistent image of a picture box, in pixels of its inner area.
int ImageWidth(PictureBox& picture);
int ImageHeight(PictureBox& picture);
base::Color Pixel(PictureBox& picture, int x, int y);
// Writes the image as a binary PPM file (to look at it).
void SaveImage(PictureBox& picture, const std::string& path);

// The DDE bus: servers that the program's link slots connect to.
class DdeServer {
public:
    enum class PokeReply { Accept, Refuse, Timeout };

    DdeServer(std::string application, std::string topic)
        : application(std::move(application)), topic(std::move(topic)) {}

    const std::string application, topic;
    bool answers = true;  // answers connection attempts
    PokeReply pokeReply = PokeReply::Accept;
    std::vector<std::pair<std::string, std::string>> pokes;  // item, text
    int connectionsOpened = 0;
    int connectionAttempts = 0;
    // Scripted reactions.
    std::function<void(const std::string& item, const std::string& text)> onPoke;
    std::function<void()> onClientClosed;  // a client ended its conversation

    // Publishes a new value of an item to every hot link on it (each raises Change).
    void Publish(const std::string& item, const std::string& text);
    // Ends every conversation from the server's side (each slot raises LinkClose).
    void DropConversations();
    // Raises LinkError on every conversation.
    void RaiseError(int code);
    int Conversations() const;
};

DdeServer& AddDdeServer(const std::string& application, const std::string& topic);
// The server goes away: its conversations end and it no longer answers.
void RemoveDdeServer(DdeServer& server);

}  // namespace platform::headless
