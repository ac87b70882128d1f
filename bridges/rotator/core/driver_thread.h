#pragma once
// Runs a RotatorDriver on a thread of its own, so that waiting on rotctld never holds up the
// thread that answers DDE. Requests from other threads are queued and handed over in order.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "bridges/rotator/core/rotator_driver.h"

namespace rotbridge {

class DriverThread {
  public:
    explicit DriverThread(RotatorDriver& driver);
    ~DriverThread();  // stops the driver, waiting at most for the rotctld call in progress
    DriverThread(const DriverThread&) = delete;
    DriverThread& operator=(const DriverThread&) = delete;

    void Turn(const std::string& heading);
    void Query();

  private:
    struct Request {
        bool turn = false;
        std::string heading;
    };

    void Run();
    void Add(Request request);

    RotatorDriver& driver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Request> requests_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace rotbridge
