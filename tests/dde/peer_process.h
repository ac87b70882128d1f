#pragma once
// The test's side of dde_peer: starts it, sends it commands and reads what it reports. Every wait
// pumps this thread's messages, which the links under test need to hear from their servers.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

// Pumps messages until `done` holds or the limit passes; returns whether it holds.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs = 5000);
// Pumps messages for a while.
void PumpFor(DWORD ms);

class PeerProcess {
  public:
    // Starts dde_peer beside the test program and waits until its service is offered.
    PeerProcess(const std::string& service, const std::string& topic);
    ~PeerProcess();  // kills it if still running
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    // Sends a command and waits for the peer to have done it; false if it did not in time.
    bool Command(const std::string& line, DWORD limitMs = 10000);
    // Waits for the peer to report the line.
    bool Reported(const std::string& line, DWORD limitMs = 5000);
    // The lines it has reported, apart from its answers to commands.
    std::vector<std::string> Reports();
    void Kill();

  private:
    void Read();
    bool Take(const std::string& line);

    PROCESS_INFORMATION process_{};
    HANDLE toPeer_ = nullptr;
    HANDLE fromPeer_ = nullptr;
    std::thread reader_;
    std::mutex mutex_;
    std::deque<std::string> unread_;  // answers and reports not yet waited for
    std::vector<std::string> reports_;
};

}  // namespace test
