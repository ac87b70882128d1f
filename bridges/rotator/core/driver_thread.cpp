#include "bridges/rotator/core/driver_thread.h"

namespace rotbridge {

DriverThread::DriverThread(RotatorDriver& driver) : driver_(driver), thread_([this] { Run(); }) {}

DriverThread::~DriverThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    driver_.Stop();
}

void DriverThread::Turn(const std::string& heading) {
    Add({true, heading});
}

void DriverThread::Query() {
    Add({false, {}});
}

void DriverThread::Add(Request request) {
    {
        const std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }
    wake_.notify_one();
}

void DriverThread::Run() {
    Clock::time_point due = Clock::now();
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        wake_.wait_until(lock, due, [&] { return stopping_ || !requests_.empty(); });
        if (stopping_) break;
        std::deque<Request> requests;
        requests.swap(requests_);
        lock.unlock();
        for (const Request& request : requests) {
            if (request.turn) {
                driver_.Turn(request.heading, Clock::now());
            } else {
                driver_.Query(Clock::now());
            }
        }
        due = driver_.Step(Clock::now());
        lock.lock();
    }
}

}  // namespace rotbridge
