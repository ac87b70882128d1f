#pragma once
// The host program's side of the spot link (WENDRA, topic WENDATA, item labDxSpot), served from a
// thread of this process that does nothing but pump its messages, so that it answers whatever
// the test's own thread is waiting for.
#include <windows.h>

#include <deque>
#include <future>
#include <mutex>
#include <string>
#include <thread>

namespace bridge_e2e {

class HostServer {
  public:
    HostServer();  // throws std::runtime_error when the service cannot be offered
    ~HostServer();
    HostServer(const HostServer&) = delete;
    HostServer& operator=(const HostServer&) = delete;

    void Publish(const std::string& text);

    // A spot line as the host sends it: fields separated by the byte 0xFF, distances in km.
    static std::string Spot(const std::string& call, const std::string& kHz,
                            const std::string& heading, const std::string& distance);

  private:
    void Run(std::promise<std::string>& started);

    DWORD threadId_ = 0;
    std::mutex mutex_;
    std::deque<std::string> texts_;
    std::thread thread_;
};

}  // namespace bridge_e2e
