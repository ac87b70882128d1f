#include "harness.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace e2e {

namespace {

constexpr DWORD kMessageLimitMs = 5000;  // for one message to a window of the program
constexpr int kMessageTextId = 0xFFFF;   // the STATIC of a message box that holds its text

int DotsPerInch(int axis) {
    const HDC screen = GetDC(nullptr);
    const int dots = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return dots > 0 ? dots : 96;
}

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageLimitMs,
                             &result))
        throw std::runtime_error("the program did not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                        nullptr, nullptr);
    return narrow;
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

// Top-level windows of a process, in Z order.
std::vector<HWND> TopLevelWindows(DWORD process) {
    struct Search {
        DWORD process;
        std::vector<HWND> found;
    } search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            if (ProcessOf(window) == s.process) s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string ProgramToTest() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    // The tests are built in BUILD/e2e, the program in BUILD/win.
    const std::filesystem::path program =
        std::filesystem::path(path).parent_path().parent_path() / "win" / "vantro32.exe";
    if (!std::filesystem::exists(program))
        throw std::runtime_error("no program to test at " + program.string());
    return program.string();
}

std::string FreshFolder() {
    static int made = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    for (;;) {
        const std::string folder = std::string(temp) + "vantro32-e2e-" +
                                   std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(++made);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot make the folder " + folder);
    }
}

// A top-level window's title, read without a message: the program may be busy starting.
std::string TitleOf(HWND window) {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

LPARAM KeyData(WORD virtualKey, bool release, bool alt = false) {
    const UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    LPARAM data = 1 | static_cast<LPARAM>(scanCode << 16);
    if (alt) data |= static_cast<LPARAM>(1u << 29);
    if (release) data |= static_cast<LPARAM>(0xC0000000u);
    return data;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    for (;;) {
        if (condition()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        // This thread may be a DDE peer of the program: it answers while it waits.
        MsgWaitForMultipleObjects(
            0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(20, end - now)), QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

int PixelsX(float twips) {
    return static_cast<int>(std::lround(twips * DotsPerInch(LOGPIXELSX) / 1440.0));
}
int PixelsY(float twips) {
    return static_cast<int>(std::lround(twips * DotsPerInch(LOGPIXELSY) / 1440.0));
}

std::string TextOf(HWND window) {
    // The text may grow between the two messages (a peer's report arriving): a text that fills
    // the buffer is read again with more room, never cut.
    std::size_t room = static_cast<std::size_t>(Send(window, WM_GETTEXTLENGTH)) + 2;
    for (;;) {
        std::wstring text(room, L'\0');
        const LRESULT copied =
            Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
        if (static_cast<std::size_t>(copied) + 1 < room) {
            text.resize(static_cast<std::size_t>(copied));
            return Narrow(text);
        }
        room *= 2;
    }
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return SIZE{rect.right, rect.bottom};
}

RECT RectInParent(HWND control) {
    RECT rect = WindowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

COLORREF PixelAt(HWND window, POINT client) {
    ClientToScreen(window, &client);
    const HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, client.x, client.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

bool ShowsColor(HWND window, POINT client, COLORREF color, DWORD limitMs) {
    return WaitUntil([&] { return PixelAt(window, client) == color; }, limitMs);
}

HWND VisibleTopLevel(DWORD process, const std::string& className) {
    for (HWND window : TopLevelWindows(process))
        if (IsWindowVisible(window) && ClassOf(window) == className) return window;
    return nullptr;
}

// The program

Program::Program(const Options& options)
    : folder_(options.installedIn ? *options.installedIn : FreshFolder()),
      ownFolder_(!options.installedIn) {
    const std::string program = folder_ + "\\vantro32.exe";
    if (ownFolder_ && !CopyFileA(ProgramToTest().c_str(), program.c_str(), FALSE))
        throw std::runtime_error("cannot copy the program to " + folder_);
    if (options.settings) {
        std::ofstream file(SettingsFile(), std::ios::binary);
        file << *options.settings;
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder_.c_str(), &startup, &started_))
        throw std::runtime_error("cannot start " + program);
    process_ = started_.dwProcessId;
    thread_ = started_.dwThreadId;
    // Shown, or stopped before that by a message (start-up failed).
    const bool started = WaitUntil([&] {
        for (HWND window : TopLevelWindows(started_.dwProcessId))
            if (TitleOf(window) == kTitle) window_ = window;
        return window_ && (IsWindowVisible(window_) ||
                           VisibleTopLevel(started_.dwProcessId, "#32770") != nullptr);
    });
    if (!started) {
        Kill();
        throw std::runtime_error("the program's window did not appear");
    }
}

Program::~Program() {
    Kill();
    if (started_.hProcess) CloseHandle(started_.hProcess);
    if (started_.hThread) CloseHandle(started_.hThread);
    if (!ownFolder_) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string Program::SettingsFile() const {
    return folder_ + "\\vantro32.INI";
}

std::string Program::SettingsText() const {
    std::ifstream file(SettingsFile(), std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

HWND Hands::Control(const std::string& text) const {
    for (HWND control : Descendants(window_))
        if (TextOf(control) == text) return control;
    return nullptr;
}

HWND Hands::ControlStartingWith(const std::string& start) const {
    for (HWND control : Descendants(window_))
        if (TextOf(control).starts_with(start)) return control;
    return nullptr;
}

HWND Hands::ControlOfClass(const std::string& className) const {
    for (HWND control : Descendants(window_))
        if (ClassOf(control) == className) return control;
    return nullptr;
}

HWND Hands::ControlAfter(const std::string& label) const {
    const auto plain = [](const std::string& text) {
        std::string kept;
        for (const char c : text)
            if (c != '&') kept += c;
        while (!kept.empty() && kept.back() == ':') kept.pop_back();
        return kept;
    };
    for (HWND control : Descendants(window_))
        if (ClassOf(control) == "Static" && plain(TextOf(control)) == plain(label))
            return GetWindow(control, GW_HWNDNEXT);
    return nullptr;
}

HWND Hands::ControlAt(POINT client) const {
    HWND found = nullptr;
    HWND parent = window_;
    POINT point = client;
    for (;;) {
        const HWND child = ChildWindowFromPointEx(parent, point, CWP_SKIPINVISIBLE);
        if (!child || child == parent) return found;
        found = child;
        MapWindowPoints(parent, child, &point, 1);
        parent = child;
    }
}

HWND Hands::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread_, &info)) return nullptr;
    return info.hwndFocus;
}

std::vector<std::string> Hands::ListLines(HWND list) const {
    std::vector<std::string> lines;
    const LRESULT count = Send(list, LB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        // The 8-bit message comes back as UTF-16 across processes under Wine: ask for it wide.
        const LRESULT length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied =
            Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
        lines.push_back(Narrow(text));
    }
    return lines;
}

int Hands::SelectedIndex(HWND list) const {
    return static_cast<int>(Send(list, LB_GETCURSEL));
}

LPARAM Hands::LinePoint(HWND list, int index) const {
    Send(list, LB_SETTOPINDEX, static_cast<WPARAM>(index));
    const LRESULT top = Send(list, LB_GETTOPINDEX);
    const LRESULT height = Send(list, LB_GETITEMHEIGHT, static_cast<WPARAM>(index));
    return MAKELPARAM(4, (index - top) * height + height / 2);
}

void Hands::DoubleClickLine(HWND list, int index) const {
    const LPARAM at = LinePoint(list, index);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
}

void Hands::PressKey(HWND control, WORD virtualKey) const {
    PostMessageA(control, WM_KEYDOWN, virtualKey, KeyData(virtualKey, false));
    PostMessageA(control, WM_KEYUP, virtualKey, KeyData(virtualKey, true));
}

void Hands::PressAltKey(char letter) const {
    const WORD key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(letter)));
    PostMessageA(window_, WM_SYSKEYDOWN, key, KeyData(key, false, true));
    PostMessageA(window_, WM_SYSKEYUP, key, KeyData(key, true, true));
}

void Hands::Click(HWND button) const {
    PostMessageA(button, BM_CLICK, 0, 0);
}

void Hands::Type(HWND edit, const std::string& text) const {
    Send(edit, EM_SETSEL, 0, -1);
    for (const char c : text) PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    if (!WaitUntil([&] { return TextOf(edit) == text; }))
        throw std::runtime_error("the edit box shows \"" + TextOf(edit) + "\", not \"" + text +
                                 "\"");
}

void Hands::Menu(char barKey) const {
    PostMessageA(window_, WM_SYSCOMMAND, SC_KEYMENU,
                 static_cast<LPARAM>(std::tolower(static_cast<unsigned char>(barKey))));
}

void Hands::Menu(char barKey, char itemKey) const {
    Menu(barKey);
    // The item's key must reach the menu once it is open, not the menu bar.
    if (!WaitUntil([&] { return VisibleTopLevel(ProcessId(), "#32768") != nullptr; }))
        throw std::runtime_error(std::string("the menu of key ") + barKey + " did not open");
    PostMessageA(window_, WM_CHAR,
                 static_cast<WPARAM>(std::tolower(static_cast<unsigned char>(itemKey))), 1);
    if (!WaitUntil([&] { return VisibleTopLevel(ProcessId(), "#32768") == nullptr; }))
        throw std::runtime_error(std::string("the menu item of key ") + itemKey +
                                 " was not chosen");
}

std::optional<MessageBoxSeen> Hands::WaitForMessageBox(DWORD limitMs) const {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = VisibleTopLevel(ProcessId(), "#32770")) != nullptr; },
                   limitMs))
        return std::nullopt;
    MessageBoxSeen box;
    box.dialog = dialog;
    box.owner = GetWindow(dialog, GW_OWNER);
    box.title = TextOf(dialog);
    if (const HWND text = GetDlgItem(dialog, kMessageTextId)) box.text = TextOf(text);
    for (HWND control : Descendants(dialog))
        if (ClassOf(control) == "Button" && IsWindowVisible(control))
            box.buttons.push_back(TextOf(control));
    return box;
}

void Hands::PressOk(const MessageBoxSeen& box) const {
    HWND button = GetDlgItem(box.dialog, IDOK);
    int id = IDOK;
    if (!button) {
        for (HWND control : Descendants(box.dialog))
            if (ClassOf(control) == "Button" && IsWindowVisible(control)) button = control;
        id = GetDlgCtrlID(button);
    }
    PostMessageA(box.dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    if (!WaitUntil([&] { return !IsWindow(box.dialog); }))
        throw std::runtime_error("the message box \"" + box.text + "\" did not close");
}

MessageBoxSeen Hands::Answer(DWORD limitMs) const {
    const std::optional<MessageBoxSeen> box = WaitForMessageBox(limitMs);
    if (!box) throw std::runtime_error("no message box came");
    PressOk(*box);
    return *box;
}

std::vector<std::string> Program::AnswerPeersNotFound() const {
    std::vector<std::string> texts;
    texts.push_back(Answer().text);
    texts.push_back(Answer().text);
    return texts;
}

void Hands::Minimize() const {
    PostMessageA(window_, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}
void Hands::Restore() const {
    PostMessageA(window_, WM_SYSCOMMAND, SC_RESTORE, 0);
}
// Not from the system menu, which has no maximise: as another program would do it.
void Hands::Maximize() const {
    ShowWindowAsync(window_, SW_MAXIMIZE);
}

bool Hands::Resize(int width, int height) const {
    // Synchronous: when it returns the program has seen the change and answered it.
    return SetWindowPos(window_, nullptr, 0, 0, width, height,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != 0;
}

void Hands::Close() const {
    PostMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
}

bool Hands::EndSession() const {
    const bool agreed = Send(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF) != 0;
    Send(window_, WM_ENDSESSION, agreed, ENDSESSION_LOGOFF);
    return agreed;
}

bool Program::Running() const {
    return started_.hProcess && WaitForSingleObject(started_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD limitMs) const {
    return started_.hProcess && WaitUntil([&] { return !Running(); }, limitMs);
}

std::optional<DWORD> Program::ExitCode() const {
    DWORD code = 0;
    if (!started_.hProcess || !GetExitCodeProcess(started_.hProcess, &code) || code == STILL_ACTIVE)
        return std::nullopt;
    return code;
}

void Program::Kill() {
    if (!Running()) return;
    TerminateProcess(started_.hProcess, 1);
    WaitForSingleObject(started_.hProcess, kPatienceMs);
}

}  // namespace e2e
