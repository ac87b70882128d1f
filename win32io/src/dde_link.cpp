#include "win32io/dde_link.h"

#include <utility>

#include "base/failure.h"
#include "win32io/dde_handles.h"
#include "win32io/src/dde_link_job.h"
#include "win32io/src/dde_link_thread.h"

namespace win32io {

namespace {
constexpr UINT kDeliverMessage = DdeLinkChannel::kEventsMessage;
constexpr UINT_PTR kDeliverTimer = 1;  // when the message to itself cannot be posted
constexpr UINT kDeliverTimerMs = 10;
// Below this, what is left of the window's limit is too little to wait for an answer at all.
constexpr DWORD kShortestTransactionMs = 50;
constexpr DWORD kHandOverMs = kPeerWaitLimitMs - DdeLink::kTransactionTimeoutMs;

[[noreturn]] void FailWithTimeout() {
    throw base::Failure(DdeErrorText(DMLERR_POKEACKTIMEOUT));
}
}  // namespace

DdeLink::DdeLink()
    : window_([this](UINT message, WPARAM, LPARAM) {
          if (message == WM_TIMER) window_.StopTimer(kDeliverTimer);
          if (message == kDeliverMessage || message == WM_TIMER) Deliver();
      }),
      channel_(std::make_shared<DdeLinkChannel>(window_.Handle())),
      lifeline_(std::make_shared<int>(0)) {}

DdeLink::~DdeLink() {
    Disconnect();
    channel_->Close();
    if (serial_ > 0) Send(std::make_shared<DdeJob>(DdeJob::Kind::Forget, channel_));
}

// The transaction's limit: what is left of the window's, less the hand-over.
DWORD DdeLink::TransactionTimeout() const {
    const DWORD left = PeerWaitLeft(this);
    if (left < kHandOverMs + kShortestTransactionMs) {
        PeerWaitTooShort(this);
        FailWithTimeout();
    }
    return left - kHandOverMs;
}

void DdeLink::Connect(const std::string& application, const std::string& topic,
                      const std::string& item) {
    Disconnect();
    auto job = std::make_shared<DdeJob>(DdeJob::Kind::Connect, channel_);
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
    // An attempt under way is given up: the DDE thread ends what it opens late, and the End
    // below ends what it opened just in time.
    const bool attempt = waitingFor_ && waitingFor_->kind == DdeJob::Kind::Connect;
    if (waitingFor_) {
        waitingFor_->GiveUp();
        droppedWhileWaiting_ = true;
    }
    if (linked_ == 0 && !attempt) return;
    linked_ = 0;
    Send(std::make_shared<DdeJob>(DdeJob::Kind::End, channel_));
}

void DdeLink::Poke(const std::string& text) {
    if (linked_ == 0) throw base::Failure("No DDE conversation");
    auto job = std::make_shared<DdeJob>(DdeJob::Kind::Poke, channel_);
    job->text = text;
    job->timeoutMs = TransactionTimeout();
    Run(job);
}

void DdeLink::Send(const std::shared_ptr<DdeJob>& job) const {
    SendDdeJob(job);
}

void DdeLink::Run(const std::shared_ptr<DdeJob>& job) {
    Send(job);
    waitingFor_ = job;
    droppedWhileWaiting_ = false;
    const bool answered = WaitForPeer(job->Done(), this);
    waitingFor_.reset();
    if (std::exchange(droppedWhileWaiting_, false)) FailWithTimeout();
    // Given up: the DDE thread undoes what it does of it after this.
    if (!answered && job->GiveUp()) FailWithTimeout();
    if (const std::optional<std::string> failure = job->Failure()) throw base::Failure(*failure);
}

void DdeLink::Deliver() {
    for (DdeLinkEvent& event : channel_->TakeEvents()) events_.push_back(std::move(event));
    if (events_.empty()) return;
    if (WaitingOnPeer()) {
        // Once, when the waits are over; the message goes through the loop like any other.
        if (std::exchange(deliveryAsked_, true)) return;
        const std::weak_ptr<int> alive = lifeline_;
        AfterPeerWaits([this, alive] {
            if (alive.expired()) return;
            deliveryAsked_ = false;
            if (!window_.Post(kDeliverMessage)) window_.StartTimer(kDeliverTimer, kDeliverTimerMs);
        });
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

bool WaitForDdeLinkEnds() {
    static const ULONGLONG deadline = GetTickCount64() + kDdeLinkEndLimitMs;
    return WaitForDdeThread(deadline);
}

}  // namespace win32io
