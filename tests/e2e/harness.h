#pragma once
// The user's hands for end-to-end tests: starts vantro32.exe in a folder of its own and drives its
// window from this process, as a user (or Windows) would, with messages to its windows. Reads what
// the window shows: texts, list lines, rectangles, pixels, message boxes.
//
// Everything waits with a generous limit and reports failure by returning false / nothing or by
// throwing std::runtime_error; no test depends on how fast anything is. Every wait handles this
// thread's messages, so that a test can also play the program's DDE peers on it.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

inline constexpr DWORD kPatienceMs = 15000;
// The longest the window may keep the user waiting while it waits on a DDE peer, in any fault.
inline constexpr ULONGLONG kLongestPeerWaitMs = 1200;

inline constexpr char kTitle[] = "Vantro32 V1.0   Halvik May, 2000";
inline constexpr char kHostNotFound[] = "Couldn't find Wendra or Wendra32. Will keep trying.";
inline constexpr char kRotatorNotFound[] = "Couldn't find ARSWIN. Will keep trying.";

// Polls the condition, handling this thread's messages meanwhile, until it holds; false when the
// limit passes first.
bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs = kPatienceMs);

// Twips of the window design to screen pixels (15 twips a pixel at 96 dpi).
int PixelsX(float twips);
int PixelsY(float twips);

// What any window shows, read across processes.
std::string TextOf(HWND window);  // WM_GETTEXT, in the 8-bit code page
std::string ClassOf(HWND window);
RECT WindowRect(HWND window);                 // outer, screen pixels
SIZE ClientSize(HWND window);                 // inner area, pixels
RECT RectInParent(HWND control);              // in the inner area of its parent, pixels
COLORREF PixelAt(HWND window, POINT client);  // a pixel of the screen, at a point of the inner area
// Waits for the pixel to show the colour: the window paints when the program gets to it.
bool ShowsColor(HWND window, POINT client, COLORREF color, DWORD limitMs = kPatienceMs);

struct MessageBoxSeen {
    HWND dialog = nullptr;
    HWND owner = nullptr;
    std::string title;
    std::string text;
    std::vector<std::string> buttons;  // their captions
};

// The user's hands on one window of a program under test (its main window, a dialog): its
// controls, its list boxes, keys, clicks and menus, its message boxes, and the window as a whole.
class Hands {
  public:
    Hands() = default;
    Hands(DWORD processId, DWORD threadId, HWND window)
        : process_(processId), thread_(threadId), window_(window) {}

    HWND Window() const { return window_; }
    DWORD ProcessId() const { return process_; }

    // Controls of the window, at any depth.
    HWND Control(const std::string& text) const;  // the first with this text; nullptr if none
    HWND ControlStartingWith(const std::string& start) const;  // the first whose text does
    HWND ControlOfClass(const std::string& className) const;  // the first of this class
    // The control a dialog's label names: the one after the label in the Tab order, as the
    // label's access key reaches it. nullptr if there is no such label.
    HWND ControlAfter(const std::string& label) const;
    // The innermost visible control under a point of the window's inner area; nullptr if none.
    HWND ControlAt(POINT client) const;
    HWND StationList() const { return ControlOfClass("ListBox"); }
    HWND Focus() const;  // the control with the keyboard focus in the program

    // The list box.
    std::vector<std::string> ListLines(HWND list) const;
    int SelectedIndex(HWND list) const;
    void DoubleClickLine(HWND list, int index) const;
    // A point of the line, in the list's own coordinates, as mouse messages take it; the list
    // is scrolled to show the line.
    LPARAM LinePoint(HWND list, int index) const;
    // A key as the keyboard gives it to the control with the focus, through the program's
    // message loop (WM_KEYDOWN, WM_KEYUP; the loop makes WM_CHAR).
    void PressKey(HWND control, WORD virtualKey) const;
    void PressEnter(HWND control) const { PressKey(control, VK_RETURN); }
    // Alt and a letter: an access key of the window (a button's, or the menu bar's).
    void PressAltKey(char letter) const;
    void Click(HWND button) const;
    // Replaces the text of an edit box as typing does: all of it selected, then each character.
    void Type(HWND edit, const std::string& text) const;

    // The menu bar, by access keys: an item of the bar, or an item of its menu.
    void Menu(char barKey) const;
    void Menu(char barKey, char itemKey) const;

    // Message boxes (and other dialogs) of the program.
    std::optional<MessageBoxSeen> WaitForMessageBox(DWORD limitMs = kPatienceMs) const;
    // Presses OK (or the only button) and waits for the box to go.
    void PressOk(const MessageBoxSeen& box) const;
    // Waits for a message box, presses OK and returns what it said. Throws when none comes.
    MessageBoxSeen Answer(DWORD limitMs = kPatienceMs) const;

    // The window as a whole, from outside.
    RECT OuterRect() const { return WindowRect(window_); }
    SIZE InnerSize() const { return ClientSize(window_); }
    void Minimize() const;
    void Restore() const;
    void Maximize() const;
    bool Resize(int width, int height) const;  // outer size, pixels; whether Windows took it
    void Close() const;                        // the window's close control
    // Windows ending the session: asks the program, then ends it. Returns whether it agreed.
    bool EndSession() const;

  protected:
    DWORD process_ = 0;
    DWORD thread_ = 0;
    HWND window_ = nullptr;
};

// A visible top-level window of the process of this class (a program's main window, "#32770"
// for a dialog); nullptr when there is none.
HWND VisibleTopLevel(DWORD process, const std::string& className);

class Program : public Hands {
  public:
    struct Options {
        // Written as the settings file beside the program before it starts.
        std::optional<std::string> settings;
        // The vantro32.exe of this folder is started as it stands: nothing is copied, and the
        // folder is kept (an unpacked release).
        std::optional<std::string> installedIn = std::nullopt;
    };

    // Copies vantro32.exe into a fresh temporary folder, starts it there and waits for its window
    // to be shown (or for a message box of a start-up that failed before). Throws
    // std::runtime_error when neither appears.
    Program() : Program(Options{}) {}
    explicit Program(const Options& options);
    // Kills the program if it still runs and removes its folder.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const std::string& Folder() const { return folder_; }
    std::string SettingsFile() const;  // the settings file beside the program
    std::string SettingsText() const;  // its whole text; empty when there is none

    // Answers the start-up messages of a program that finds neither peer (host first, then
    // rotator) and returns their texts.
    std::vector<std::string> AnswerPeersNotFound() const;

    bool Running() const;
    bool WaitForExit(DWORD limitMs = kPatienceMs) const;
    std::optional<DWORD> ExitCode() const;  // nothing while it runs
    void Kill();

  private:
    std::string folder_;
    bool ownFolder_ = true;
    PROCESS_INFORMATION started_{};
};

}  // namespace e2e
