#include "win32io/src/companion_output.h"

#include <cstdio>

#include "win32io/src/companion_window.h"

namespace win32io {

namespace {
HANDLE GivenStandardOutput() {
    // A window program has one only when its starter gave it one: a pipe or a file.
    const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return nullptr;
    return GetFileType(handle) == FILE_TYPE_UNKNOWN ? nullptr : handle;
}

std::string Stamped(const std::string& text) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    char time[16];
    std::snprintf(time, sizeof time, "%02u:%02u:%02u ", t.wHour, t.wMinute, t.wSecond);
    return time + text;
}
}  // namespace

CompanionFrameOutput::CompanionFrameOutput(const std::string& logPath)
    : standardOutput_(GivenStandardOutput()), file_(logPath) {
    if (!file_.Problem().empty()) Line(file_.Problem());
}

void CompanionFrameOutput::Line(const std::string& text) {
    const std::string line = Stamped(text);
    const std::lock_guard lock(mutex_);
    if (standardOutput_) {
        const std::string bytes = line + "\r\n";
        DWORD written = 0;
        // A reader that went away takes nothing more.
        if (!WriteFile(standardOutput_, bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr))
            standardOutput_ = nullptr;
    }
    const bool couldWrite = file_.Problem().empty();
    file_.Append(line);
    if (windowGone_) return;
    lines_.push_back(line);
    if (couldWrite && !file_.Problem().empty()) lines_.push_back(Stamped(file_.Problem()));
    WakeWindow();
}

void CompanionFrameOutput::Status(const std::vector<std::string>& values,
                                  const std::string& summary) {
    const std::lock_guard lock(mutex_);
    status_.emplace(values, summary);
    WakeWindow();
}

void CompanionFrameOutput::WakeWindow() {
    if (!window_ || woken_) return;
    woken_ = true;
    window_->Pending();
}

void CompanionFrameOutput::ShowIn(CompanionWindow* window) {
    const std::lock_guard lock(mutex_);
    window_ = window;
    woken_ = false;
    windowGone_ = window == nullptr;
    if (!window_) {
        lines_.clear();
        return;
    }
    if (!lines_.empty() || status_) WakeWindow();
}

void CompanionFrameOutput::Deliver() {
    std::vector<std::string> lines;
    std::optional<std::pair<std::vector<std::string>, std::string>> status;
    CompanionWindow* window = nullptr;
    {
        const std::lock_guard lock(mutex_);
        lines.swap(lines_);
        status.swap(status_);
        window = window_;
        woken_ = false;
    }
    if (!window) return;
    window->AddLines(lines);
    if (status) window->SetStatus(status->first, status->second);
}

}  // namespace win32io
