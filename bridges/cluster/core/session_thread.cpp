#include "bridges/cluster/core/session_thread.h"

namespace cluster {

SessionThread::SessionThread(NodeSession& session)
    : session_(session), thread_([this] { Run(); }) {}

SessionThread::~SessionThread() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    session_.Leave();
}

void SessionThread::Run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        const Clock::time_point due = session_.Step(Clock::now());
        lock.lock();
        wake_.wait_until(lock, due, [&] { return stopping_; });
    }
}

}  // namespace cluster
