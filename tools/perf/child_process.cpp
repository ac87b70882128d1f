#include "tools/perf/child_process.h"

#include <psapi.h>

#include <memory>
#include <stdexcept>

namespace perf {

double NowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

namespace {
DWORD_PTR childrenCpus = 0;  // 0: wherever the system puts them
}  // namespace

void KeepOneCpuForTheWatcher() {
    DWORD_PTR own = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &own, &system)) return;
    DWORD_PTR last = 0;
    for (DWORD_PTR cpu = 1; cpu != 0 && cpu <= system; cpu <<= 1)
        if (system & cpu) last = cpu;
    if (last == 0 || (system & ~last) == 0) return;
    if (!SetThreadAffinityMask(GetCurrentThread(), last)) return;
    childrenCpus = system & ~last;
}

ChildProcess::ChildProcess(const std::string& program, const std::string& arguments,
                           const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + program + "\" " + arguments;
    // Placed before its first instruction: the start-up is measured whole on its CPUs.
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        childrenCpus ? CREATE_SUSPENDED : 0, nullptr, folder.c_str(), &startup,
                        &process_))
        throw std::runtime_error("cannot start " + program);
    if (childrenCpus) {
        SetProcessAffinityMask(process_.hProcess, childrenCpus);
        ResumeThread(process_.hThread);
    }
}

ChildProcess::~ChildProcess() {
    Kill();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND ChildProcess::WaitForWindow(const std::string& title, DWORD limitMs) const {
    const ULONGLONG end = GetTickCount64() + limitMs;
    do {
        // FindWindow is cheap enough to poll; another process's window of the same title (one
        // not yet gone) is passed over.
        for (HWND window = FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); window;
             window = FindWindowExA(nullptr, window, nullptr, title.c_str())) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process_.dwProcessId && IsWindowVisible(window)) return window;
        }
        Sleep(1);
    } while (GetTickCount64() < end);
    return nullptr;
}

void ChildProcess::Close(HWND window, DWORD limitMs) {
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, limitMs) != WAIT_OBJECT_0) Kill();
}

void ChildProcess::Kill() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return;
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
}

std::size_t ChildProcess::WorkingSet() const {
    return perf::WorkingSet(process_.hProcess);
}

std::size_t WorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

std::size_t WorkingSetOf(DWORD processId) {
    const std::unique_ptr<void, decltype(&CloseHandle)> process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId), &CloseHandle);
    return process ? WorkingSet(process.get()) : 0;
}

namespace {
struct ChildSearch {
    std::string className, text;
    HWND found = nullptr;
};
}  // namespace

HWND FindChild(HWND parent, const std::string& className, const std::string& text) {
    ChildSearch search{className, text};
    EnumChildWindows(
        parent,
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<ChildSearch*>(data);
            char name[256] = {}, caption[256] = {};
            GetClassNameA(window, name, sizeof name);
            GetWindowTextA(window, caption, sizeof caption);
            if (lstrcmpiA(name, s.className.c_str()) != 0 || s.text != caption) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace perf
