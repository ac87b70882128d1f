#include "tests/dde/peer_process.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

namespace test {

namespace {
std::string ProgramFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/"));
}
}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start >= limitMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

PeerProcess::PeerProcess(const std::string& program, const std::string& arguments,
                         const std::string& readyLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE peerIn = nullptr, peerOut = nullptr;
    if (!CreatePipe(&peerIn, &toPeer_, &inherit, 0) ||
        !CreatePipe(&fromPeer_, &peerOut, &inherit, 0))
        throw std::runtime_error("cannot make pipes");
    SetHandleInformation(toPeer_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(fromPeer_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = peerIn;
    startup.hStdOutput = peerOut;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    // Built piece by piece: "literal" + string trips a false -Wrestrict in GCC 12.
    std::string command = "\"";
    command += ProgramFolder();
    command += "\\";
    command += program;
    command += "\" ";
    command += arguments;
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process_);
    CloseHandle(peerIn);
    CloseHandle(peerOut);
    if (!started) throw std::runtime_error("cannot start " + command);
    reader_ = std::thread([this] { Read(); });
    if (!Reported(readyLine, 20000)) throw std::runtime_error(program + " did not start");
}

PeerProcess::~PeerProcess() {
    Kill();
    CloseHandle(toPeer_);
    reader_.join();  // the pipe broke with the process
    CloseHandle(fromPeer_);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

void PeerProcess::Kill() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, INFINITE);
}

void PeerProcess::Read() {
    std::string line;
    // A block at a time: a host simulator reports megabyte updates, one read each byte is slow.
    char block[4096];
    DWORD got = 0;
    while (ReadFile(fromPeer_, block, sizeof block, &got, nullptr) && got > 0) {
        for (const char c : std::string_view(block, got)) {
            if (c == '\r') continue;
            if (c != '\n') {
                line.push_back(c);
                continue;
            }
            std::lock_guard lock(mutex_);
            if (line != "ok") reports_.push_back(line);
            unread_.push_back(std::move(line));
            line.clear();
        }
    }
}

bool PeerProcess::Take(const std::string& line) {
    std::lock_guard lock(mutex_);
    const auto found = std::find(unread_.begin(), unread_.end(), line);
    if (found == unread_.end()) return false;
    unread_.erase(found);
    return true;
}

void PeerProcess::Send(const std::string& line) {
    const std::string withEnd = line + "\n";
    DWORD written = 0;
    WriteFile(toPeer_, withEnd.data(), static_cast<DWORD>(withEnd.size()), &written, nullptr);
}

bool PeerProcess::Command(const std::string& line, DWORD limitMs) {
    Send(line);
    return Reported("ok", limitMs);
}

bool PeerProcess::Reported(const std::string& line, DWORD limitMs) {
    return PumpUntil([&] { return Take(line); }, limitMs);
}

std::vector<std::string> PeerProcess::Reports() {
    std::lock_guard lock(mutex_);
    return reports_;
}

}  // namespace test
