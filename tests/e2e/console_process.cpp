#include "console_process.h"

#include <algorithm>
#include <stdexcept>

namespace e2e {

ConsoleProcess::ConsoleProcess(const std::string& program, const std::string& arguments,
                               const Options& options)
    : name_(program.substr(program.find_last_of("\\/") + 1)) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE write = nullptr;
    if (!CreatePipe(&output_, &write, &inherit, 0)) throw std::runtime_error("cannot make a pipe");
    SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = write;
    startup.hStdError = write;
    // Built piece by piece: "literal" + string trips a false -Wrestrict in GCC 12.
    std::string command = "\"";
    command += program;
    command += "\" ";
    command += arguments;
    const BOOL started = CreateProcessA(
        nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
        options.folder.empty() ? nullptr : options.folder.c_str(), &startup, &process_);
    CloseHandle(write);
    if (!started) {
        CloseHandle(output_);
        throw std::runtime_error("cannot start " + command);
    }
    reader_ = std::thread([this] { Read(); });
}

ConsoleProcess::~ConsoleProcess() {
    Kill();
    WaitForSingleObject(process_.hProcess, INFINITE);
    reader_.join();  // reading ends with the process
    CloseHandle(output_);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

void ConsoleProcess::Read() {
    // The pipe is read only while something is in it, and reading ends with the process rather
    // than with the pipe: a process the program started (Wine's desktop process, when the program
    // is the first of the session to need one) may hold the pipe's other end long after it.
    std::string line;
    char chunk[256];
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr)) break;
        if (available == 0) {
            const bool ended = WaitForSingleObject(process_.hProcess, 20) == WAIT_OBJECT_0;
            if (ended && PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) &&
                available == 0)
                break;
            continue;
        }
        DWORD got = 0;
        if (!ReadFile(output_, chunk, std::min<DWORD>(available, sizeof chunk), &got, nullptr))
            break;
        for (DWORD i = 0; i < got; ++i) {
            if (chunk[i] == '\r') continue;
            if (chunk[i] != '\n') {
                line += chunk[i];
                continue;
            }
            const std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
            line.clear();
        }
    }
    readToTheEnd_ = true;
}

bool ConsoleProcess::WaitForLine(const std::string& text, std::size_t from, DWORD limitMs) {
    return WaitUntil(
        [&] {
            const std::lock_guard lock(mutex_);
            for (std::size_t i = from; i < lines_.size(); ++i)
                if (lines_[i].find(text) != std::string::npos) return true;
            return false;
        },
        limitMs);
}

std::size_t ConsoleProcess::LineCount() {
    const std::lock_guard lock(mutex_);
    return lines_.size();
}

std::vector<std::string> ConsoleProcess::LinesFrom(std::size_t from) {
    const std::lock_guard lock(mutex_);
    if (from >= lines_.size()) return {};
    return {lines_.begin() + static_cast<std::ptrdiff_t>(from), lines_.end()};
}

std::string ConsoleProcess::Output() {
    const std::lock_guard lock(mutex_);
    std::string all = name_ + " said:\n";
    for (const std::string& line : lines_) all += "  " + line + "\n";
    return all;
}

Hands ConsoleProcess::WaitForWindow(const std::string& className, DWORD limitMs) const {
    HWND window = nullptr;
    if (!WaitUntil(
            [&] { return (window = VisibleTopLevel(process_.dwProcessId, className)) != nullptr; },
            limitMs))
        throw std::runtime_error("no window of class " + className + " appeared");
    return Hands(process_.dwProcessId, GetWindowThreadProcessId(window, nullptr), window);
}

bool ConsoleProcess::WaitForExit(DWORD limitMs) const {
    // Its last lines are still on their way when it ends: they are read first.
    return WaitUntil(
        [&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0 && readToTheEnd_; },
        limitMs);
}

std::optional<DWORD> ConsoleProcess::ExitCode() const {
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.hProcess, &code) || code == STILL_ACTIVE) return std::nullopt;
    return code;
}

void ConsoleProcess::Kill() const {
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
}

}  // namespace e2e
