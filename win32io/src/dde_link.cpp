#include "win32io/dde_link.h"

#include <utility>

#include "base/failure.h"
#include "win32io/dde_handles.h"
#include "win32io/src/dde_link_thread.h"

namespace win32io {

namespace {
constexpr UINT_PTR kRetryDeliveryTimer = 1;
constexpr UINT kRetryDeliveryMs = 10;
// Below this, what is left of the window's limit is too little to wait for an answer at all.
constexpr DWORD kShortestTransactionMs = 50;

[[noreturn]] void FailWithTimeout() {
    throw base::Failure(DdeErrorText(DMLERR_POKEACKTIMEOUT));
}

// The transaction's limit: what is left of the window's, less the hand-over.
DWORD TransactionTimeout() {
    const DWORD left = PeerWaitLeft();
    const DWORD handOver = kPeerWaitLimitMs - DdeLink::kTransactionTimeoutMs;
    if (left < handOver + kShortestTransactionMs) FailWithTimeout();
    return left - handOver;
}
}  // namespace

DdeLink::DdeLink()
    : channel_(std::make_shared<DdeLinkChannel>()),
      window_([this](UINT message, WPARAM, LPARAM) {
          if (message == DdeLinkChannel::kEventsMessage) Deliver();
          if (message == WM_TIMER) {
              window_.StopTimer(kRetryDeliveryTimer);
              Deliver();
          }
      }),
      lifeline_(std::make_shared<int>(0)) {
    channel_->SetOwnerWindow(window_.Handle());
    StartDdeLinkThread(channel_);
}

DdeLink::~DdeLink() {
    Disconnect();
    channel_->SetOwnerWindow(nullptr);
    Send(std::make_shared<DdeJob>(DdeJob::Kind::Stop));
}

void DdeLink::Connect(const std::string& application, const std::string& topic,
                      const std::string& item) {
    Disconnect();
    auto job = std::make_shared<DdeJob>(DdeJob::Kind::Connect);
    job->application = application;
    job->topic = topic;
    job->item = item;
    job->serial = ++serial_;
    job->timeoutMs = TransactionTimeout();
    Run(job);
    linked_ = job->serial;
}

void DdeLink::Disconnect() {
    events_.clear();
    if (linked_ == 0) return;
    linked_ = 0;
    Send(std::make_shared<DdeJob>(DdeJob::Kind::End));
}

void DdeLink::Poke(const std::string& text) {
    if (linked_ == 0) throw base::Failure("No DDE conversation");
    auto job = std::make_shared<DdeJob>(DdeJob::Kind::Poke);
    job->text = text;
    job->timeoutMs = TransactionTimeout();
    Run(job);
}

void DdeLink::Send(const std::shared_ptr<DdeJob>& job) const {
    channel_->Send(job);
}

void DdeLink::Run(const std::shared_ptr<DdeJob>& job) {
    // The link's thread is still in a job the window gave up on: this one would wait for it.
    if (givenUp_ && !givenUp_->Finished()) FailWithTimeout();
    givenUp_.reset();
    Send(job);
    if (!WaitForPeer(job->Done()) && job->GiveUp()) {
        givenUp_ = job;
        FailWithTimeout();
    }
    if (const std::optional<std::string> failure = job->Failure()) throw base::Failure(*failure);
}

void DdeLink::Deliver() {
    for (DdeLinkEvent& event : channel_->TakeEvents()) events_.push_back(std::move(event));
    if (WaitingOnPeer()) {
        if (!events_.empty()) window_.StartTimer(kRetryDeliveryTimer, kRetryDeliveryMs);
        return;
    }
    const std::weak_ptr<int> alive = lifeline_;
    while (!events_.empty()) {
        const DdeLinkEvent event = std::move(events_.front());
        events_.pop_front();
        // Events of a conversation that was ended or given up on are not this link's any more.
        if (event.serial != linked_) continue;
        Raise(event);
        if (alive.expired()) return;
    }
}

void DdeLink::Raise(const DdeLinkEvent& event) {
    try {
        switch (event.kind) {
            case DdeLinkEvent::Kind::Data:
                if (onData) onData(event.text);
                break;
            case DdeLinkEvent::Kind::Error:
                if (onError) onError(event.code);
                break;
            case DdeLinkEvent::Kind::Close:
                Disconnect();
                if (onClose) onClose();
                break;
        }
    } catch (...) {
        // A failing handler ends only its own event; the owner's dispatch reports nothing more.
    }
}

}  // namespace win32io
