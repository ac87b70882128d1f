#pragma once
// rotbridge.exe started by the test, its output read line by line as it comes.
#include <windows.h>

#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

namespace bridge_e2e {

class BridgeProcess {
  public:
    explicit BridgeProcess(const std::string& rotctld);  // "127.0.0.1:PORT"
    ~BridgeProcess();                                    // kills it
    BridgeProcess(const BridgeProcess&) = delete;
    BridgeProcess& operator=(const BridgeProcess&) = delete;

    // Waits for a line that contains the text, among the lines from number `from` on.
    bool WaitForLine(const std::string& text, std::size_t from = 0,
                     DWORD limitMs = e2e::kPatienceMs);
    std::size_t LineCount();
    std::string Output();  // every line so far, for failure messages

  private:
    void Read();

    PROCESS_INFORMATION process_{};
    HANDLE output_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

}  // namespace bridge_e2e
