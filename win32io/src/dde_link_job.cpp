#include "win32io/src/dde_link_job.h"

#include <utility>

#include "base/failure.h"

namespace win32io {

void DdeLinkChannel::Raise(DdeLinkEvent event) {
    std::lock_guard lock(mutex_);
    if (!owner_) return;
    events_.push_back(std::move(event));
    if (announced_) return;
    // One message for whatever waits. A thread's queue of posted messages is limited (10,000 on
    // Windows); a sent notification is not, and reaches the owner all the same.
    announced_ = PostMessageA(owner_, kEventsMessage, 0, 0) ||
                 SendNotifyMessageA(owner_, kEventsMessage, 0, 0);
}

std::deque<DdeLinkEvent> DdeLinkChannel::TakeEvents() {
    std::lock_guard lock(mutex_);
    announced_ = false;
    return std::exchange(events_, {});
}

void DdeLinkChannel::Close() {
    std::lock_guard lock(mutex_);
    owner_ = nullptr;
    events_.clear();
}

DdeJob::DdeJob(Kind kind, std::shared_ptr<DdeLinkChannel> link)
    : kind(kind), link(std::move(link)) {
    if (kind != Kind::Connect && kind != Kind::Poke) return;  // nobody waits for those
    done_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!done_) throw base::Failure("Out of memory");
}

DdeJob::~DdeJob() {
    if (done_) CloseHandle(done_);
}

bool DdeJob::Start() {
    std::lock_guard lock(mutex_);
    started_ = !givenUp_;
    return started_;
}

bool DdeJob::Finish(std::optional<std::string> failure) {
    bool kept;
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        failure_ = std::move(failure);
        kept = !givenUp_;
    }
    // Told once the lock is free: the waiter reads the outcome as soon as it wakes, and would
    // otherwise find the lock still held and sleep again.
    if (done_) SetEvent(done_);
    return kept;
}

bool DdeJob::GiveUp() {
    std::lock_guard lock(mutex_);
    if (finished_ && !givenUp_) return false;
    givenUp_ = true;
    // One that never started never will: nothing of it is left to wait for.
    if (!started_) finished_ = true;
    return true;
}

std::optional<std::string> DdeJob::Failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

}  // namespace win32io
