#include "win32io/src/dde_link_thread.h"

#include <exception>
#include <utility>

#include <dde.h>

#include "base/failure.h"
#include "win32io/dde_handles.h"
#include "win32io/dde_link.h"
#include "win32io/message_window.h"
#include "win32io/src/dde_parking.h"

namespace win32io {

DdeJob::DdeJob(Kind kind) : kind(kind), done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

DdeJob::~DdeJob() {
    if (done_) CloseHandle(done_);
}

bool DdeJob::Start() {
    std::lock_guard lock(mutex_);
    started_ = !givenUp_;
    return started_;
}

bool DdeJob::Finish(std::optional<std::string> failure) {
    std::lock_guard lock(mutex_);
    finished_ = true;
    failure_ = std::move(failure);
    SetEvent(done_);
    return !givenUp_;
}

bool DdeJob::GiveUp() {
    std::lock_guard lock(mutex_);
    if (finished_) return false;
    givenUp_ = true;
    // One that never started never will: nothing of it is left to wait for.
    if (!started_) finished_ = true;
    return true;
}

bool DdeJob::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

std::optional<std::string> DdeJob::Failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

void DdeLinkChannel::Send(std::shared_ptr<DdeJob> job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    if (link_) PostMessageA(link_, kJobsMessage, 0, 0);
}

std::shared_ptr<DdeJob> DdeLinkChannel::NextJob() {
    std::lock_guard lock(mutex_);
    if (jobs_.empty()) return nullptr;
    std::shared_ptr<DdeJob> job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

void DdeLinkChannel::Raise(DdeLinkEvent event) {
    std::lock_guard lock(mutex_);
    if (!owner_) return;
    events_.push_back(std::move(event));
    PostMessageA(owner_, kEventsMessage, 0, 0);
}

std::deque<DdeLinkEvent> DdeLinkChannel::TakeEvents() {
    std::lock_guard lock(mutex_);
    return std::exchange(events_, {});
}

void DdeLinkChannel::SetLinkWindow(HWND window) {
    std::lock_guard lock(mutex_);
    link_ = window;
    if (link_ && !jobs_.empty()) PostMessageA(link_, kJobsMessage, 0, 0);
}

void DdeLinkChannel::SetOwnerWindow(HWND window) {
    std::lock_guard lock(mutex_);
    owner_ = window;
    if (!owner_) events_.clear();
}

namespace {

constexpr UINT_PTR kWatchTimer = 1;

// One connection attempt: its own instance (a dead conversation stays in its instance under Wine
// and spoils every later connection made in it), the item's name and the conversation. Members
// end in reverse order: the conversation first, the instance last.
struct DdeLinkSession {
    DdeLinkSession(DdeHandler handler, unsigned serial)
        : instance(std::move(handler),
                   APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS),
          serial(serial) {}

    HCONV Conv() const { return conversation ? conversation->Get() : nullptr; }

    DdeInstance instance;
    std::optional<DdeString> item;
    std::optional<DdeConversation> conversation;
    const unsigned serial;
    bool closing = false;  // its end is raised: raise it only once
};

// Under Wine a client never gets XTYP_DISCONNECT, so the conversation itself is looked at: the
// connected bit, and the server's conversation window, which goes with its process.
bool ConversationAlive(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    return info && (info->wStatus & ST_CONNECTED) && IsWindow(info->hwndPartner);
}

// Under Wine, a hot-link value that is waiting in the queue when a poke starts is taken for the
// poke's acknowledgement and lost. So what the server has sent already is taken in first.
void TakeWaitingData(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    if (!info) return;
    MSG msg;
    while (PeekMessageA(&msg, info->hwnd, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&msg);
}

std::string LastError(const DdeInstance& instance) {
    return DdeErrorText(DdeGetLastError(instance.Id()));
}

class LinkThread {
  public:
    explicit LinkThread(std::shared_ptr<DdeLinkChannel> channel)
        : channel_(std::move(channel)), window_([this](UINT message, WPARAM, LPARAM) {
              if (message == DdeLinkChannel::kJobsMessage) RunJobs();
              if (message == WM_TIMER) Watch();
          }) {
        parking_.onEmpty = [this] {
            if (stopping_) PostQuitMessage(0);
        };
        channel_->SetLinkWindow(window_.Handle());
    }
    ~LinkThread() { channel_->SetLinkWindow(nullptr); }
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

  private:
    void RunJobs() {
        // On Windows, DDEML's wait for an answer dispatches this thread's messages: the jobs that
        // come meanwhile wait for the one under way.
        if (running_) return;
        running_ = true;
        while (const std::shared_ptr<DdeJob> job = channel_->NextJob()) {
            if (!job->Start()) continue;
            try {
                Run(*job);
            } catch (const std::exception& failure) {
                job->Finish(failure.what());
            }
        }
        running_ = false;
    }

    void Run(DdeJob& job) {
        switch (job.kind) {
            case DdeJob::Kind::Connect:
                Connect(job);
                return;
            case DdeJob::Kind::Poke:
                job.Finish(Poke(job));
                return;
            case DdeJob::Kind::End:
                EndSession();
                job.Finish(std::nullopt);
                return;
            case DdeJob::Kind::Stop:
                stopping_ = true;
                EndSession();
                job.Finish(std::nullopt);
                if (parking_.Empty()) PostQuitMessage(0);
                return;
        }
    }

    void Connect(DdeJob& job) {
        EndSession();
        auto session = std::make_unique<DdeLinkSession>(
            [this, serial = job.serial](const DdeCall& call) { return OnDde(call, serial); },
            job.serial);
        const std::optional<std::string> failure = Open(*session, job);
        // A failed attempt, or one given up on, is ended once its outcome is known.
        if (!job.Finish(failure) || failure) {
            End(std::move(session));
            return;
        }
        session_ = std::move(session);
        window_.StartTimer(kWatchTimer, DdeLink::kWatchIntervalMs);
    }

    // The conversation and a hot link with no request of the current value: a reconnection
    // never repeats old text.
    static std::optional<std::string> Open(DdeLinkSession& session, const DdeJob& job) {
        const DdeInstance& instance = session.instance;
        const DdeString application(instance, job.application), topic(instance, job.topic);
        session.item.emplace(instance, job.item);
        const HCONV conv = DdeConnect(instance.Id(), application.Get(), topic.Get(), nullptr);
        if (!conv) return LastError(instance);
        session.conversation.emplace(conv);
        DWORD result = 0;
        if (!DdeClientTransaction(nullptr, 0, conv, session.item->Get(), CF_TEXT, XTYP_ADVSTART,
                                  job.timeoutMs, &result))
            return LastError(instance);
        return std::nullopt;
    }

    std::optional<std::string> Poke(const DdeJob& job) {
        if (!session_ || session_->closing) return "No DDE conversation";
        const HCONV conv = session_->Conv();
        TakeWaitingData(conv);
        std::string data = job.text;
        data.push_back('\0');
        // Wine answers every poke with success and leaves the acknowledgement in the result's low
        // word; Windows fails a refused poke and sets the word too. Assume an acknowledgement
        // when nothing is written there.
        DWORD result = DDE_FACK;
        if (!DdeClientTransaction(reinterpret_cast<BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size()), conv, session_->item->Get(),
                                  CF_TEXT, XTYP_POKE, job.timeoutMs, &result))
            return LastError(session_->instance);
        // A result wider than an acknowledgement is a hot-link value that Wine took for the
        // acknowledgement: the value is lost, the poke went out.
        if (result > 0xFFFF) return std::nullopt;
        if (result & DDE_FBUSY) return DdeErrorText(DMLERR_BUSY);
        if (!(result & DDE_FACK)) return DdeErrorText(DMLERR_NOTPROCESSED);
        return std::nullopt;
    }

    // Every conversation ends here, through the parking: a hung partner is never waited for.
    void End(std::unique_ptr<DdeLinkSession> session) {
        session->instance.Detach();
        const HCONV conv = session->Conv();
        parking_.End(std::shared_ptr<DdeLinkSession>(std::move(session)), conv);
    }

    void EndSession() {
        window_.StopTimer(kWatchTimer);
        if (session_) End(std::move(session_));
    }

    HDDEDATA OnDde(const DdeCall& call, unsigned serial) {
        switch (call.type) {
            case XTYP_ADVDATA:
                if (call.format != CF_TEXT) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
                channel_->Raise({DdeLinkEvent::Kind::Data, DdeDataText(call.data), 0, serial});
                return reinterpret_cast<HDDEDATA>(DDE_FACK);
            case XTYP_DISCONNECT:
                if (session_ && session_->serial == serial && session_->Conv() == call.conv)
                    RaiseClose();
                return nullptr;
            case XTYP_ERROR:
                if (call.conv)
                    channel_->Raise({DdeLinkEvent::Kind::Error,
                                     {},
                                     static_cast<int>(LOWORD(call.data1)),
                                     serial});
                return nullptr;
            default:
                return nullptr;
        }
    }

    void Watch() {
        if (running_ || !session_ || session_->closing) return;
        if (!ConversationAlive(session_->Conv())) RaiseClose();
    }

    void RaiseClose() {
        if (session_->closing) return;
        session_->closing = true;
        channel_->Raise({DdeLinkEvent::Kind::Close, {}, 0, session_->serial});
    }

    std::shared_ptr<DdeLinkChannel> channel_;
    DdeParking parking_;  // before the session: it outlives it
    std::unique_ptr<DdeLinkSession> session_;
    MessageWindow window_;
    bool running_ = false;
    bool stopping_ = false;
};

}  // namespace

namespace {
struct ThreadStart {
    std::shared_ptr<DdeLinkChannel> channel;
    HANDLE ready;
};

DWORD WINAPI RunLinkThread(void* parameter) {
    const ThreadStart start = *static_cast<ThreadStart*>(parameter);
    std::optional<LinkThread> link;
    try {
        link.emplace(start.channel);
    } catch (const std::exception&) {
        // No window, no jobs: every wait of the link gives up at its limit.
    }
    SetEvent(start.ready);
    if (link) RunMessageLoop();
    return 0;
}
}  // namespace

void StartDdeLinkThread(std::shared_ptr<DdeLinkChannel> channel) {
    ThreadStart start{std::move(channel), CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // The program's own stack size, as the window's thread has: with a stack of a megabyte,
    // updates of a megabyte were not received under Wine.
    const HANDLE thread = CreateThread(nullptr, 0, &RunLinkThread, &start, 0, nullptr);
    if (thread) {
        WaitForSingleObject(start.ready, INFINITE);
        CloseHandle(thread);
    }
    CloseHandle(start.ready);
    if (!thread) throw base::Failure("Cannot start a DDE link");
}

}  // namespace win32io
