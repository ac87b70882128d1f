#include "bridge_process.h"

#include <stdexcept>

#include "unix_path.h"

namespace bridge_e2e {

BridgeProcess::BridgeProcess(const std::string& rotctld) {
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
    command += WindowsPath(BRIDGE_E2E_BRIDGE);
    command += "\" ";
    command += rotctld;
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_);
    CloseHandle(write);
    if (!started) throw std::runtime_error("cannot start " + command);
    reader_ = std::thread([this] { Read(); });
}

BridgeProcess::~BridgeProcess() {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, INFINITE);
    reader_.join();  // the pipe broke with the process
    CloseHandle(output_);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

void BridgeProcess::Read() {
    std::string line;
    char chunk[256];
    DWORD got = 0;
    while (ReadFile(output_, chunk, sizeof chunk, &got, nullptr) && got > 0) {
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
}

bool BridgeProcess::WaitForLine(const std::string& text, std::size_t from, DWORD limitMs) {
    return e2e::WaitUntil(
        [&] {
            const std::lock_guard lock(mutex_);
            for (std::size_t i = from; i < lines_.size(); ++i)
                if (lines_[i].find(text) != std::string::npos) return true;
            return false;
        },
        limitMs);
}

std::size_t BridgeProcess::LineCount() {
    const std::lock_guard lock(mutex_);
    return lines_.size();
}

std::string BridgeProcess::Output() {
    const std::lock_guard lock(mutex_);
    std::string all = "rotbridge said:\n";
    for (const std::string& line : lines_) all += "  " + line + "\n";
    return all;
}

}  // namespace bridge_e2e
