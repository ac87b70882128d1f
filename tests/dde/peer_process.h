#pragma once
// The test's side of a peer program (dde_peer, the simulators): starts it, writes lines to its
// standard input and reads what it reports, a line at a time. Every wait pumps this thread's
// messages, which the links under test need to hear from their servers.
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
    // Starts the program (a path relative to the test program's folder) and waits until it
    // reports `readyLine`.
    PeerProcess(const std::string& program, const std::string& arguments,
                const std::string& readyLine);
    ~PeerProcess();  // kills it if still running
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    void Send(const std::string& line);
    // Sends a command to dde_peer and waits for it to have been done; false if not in time.
    bool Command(const std::string& line, DWORD limitMs = 10000);
    // Waits for the peer to report the line.
    bool Reported(const std::string& line, DWORD limitMs = 5000);
    // The lines it has reported, apart from dde_peer's answers to commands.
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
