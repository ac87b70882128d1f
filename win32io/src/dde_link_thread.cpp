#include "win32io/src/dde_link_thread.h"

#include <dde.h>

#include <algorithm>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "base/failure.h"
#include "win32io/dde_handles.h"
#include "win32io/dde_link.h"
#include "win32io/message_window.h"
#include "win32io/src/dde_parking.h"

namespace win32io {

namespace {

constexpr UINT kJobsMessage = WM_APP;
constexpr UINT_PTR kLookTimer = 1;
// A waiter for the DDE thread looks again this often even when it hears nothing.
constexpr DWORD kProgressPollMs = 50;

// What the links' owners and the DDE thread share: the jobs, and how far the thread is.
class JobQueue {
  public:
    JobQueue() : progress_(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
        if (!progress_) throw base::Failure("Out of memory");
    }
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;

    void Push(std::shared_ptr<DdeJob> job) {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        Announce();
    }
    // On the DDE thread: the next job, which is then the current one until Progress.
    std::shared_ptr<DdeJob> Next() {
        std::lock_guard lock(mutex_);
        announced_ = false;
        if (jobs_.empty()) return nullptr;
        current_ = std::move(jobs_.front());
        jobs_.pop_front();
        return current_;
    }
    // On the DDE thread: whatever it was doing is done; `parked` tells whether it keeps
    // conversations to end later.
    void Progress(bool parked) {
        {
            std::lock_guard lock(mutex_);
            current_.reset();
            parked_ = parked;
            if (!watched_) return;
        }
        SetEvent(progress_);
    }
    // From the first wait for the thread on (the program's end), every step is told at once;
    // before that nobody listens, and each telling would cost a request to the system.
    void Watch() {
        std::lock_guard lock(mutex_);
        watched_ = true;
    }
    void SetWindow(HWND window) {
        std::lock_guard lock(mutex_);
        window_ = window;
        if (!jobs_.empty()) Announce();
    }

    bool Idle() const {
        std::lock_guard lock(mutex_);
        return jobs_.empty() && !current_ && !parked_;
    }
    HANDLE ProgressEvent() const { return progress_; }

  private:
    // One message for whatever waits. A thread's queue of posted messages is limited (10,000 on
    // Windows); a sent notification is not, and reaches the thread all the same.
    void Announce() {
        if (announced_ || !window_) return;
        announced_ = PostMessageA(window_, kJobsMessage, 0, 0) ||
                     SendNotifyMessageA(window_, kJobsMessage, 0, 0);
    }

    mutable std::mutex mutex_;
    std::deque<std::shared_ptr<DdeJob>> jobs_;
    std::shared_ptr<DdeJob> current_;
    bool parked_ = false;
    bool announced_ = false;
    bool watched_ = false;
    HWND window_ = nullptr;
    HANDLE progress_;  // never closed: the queue lives as long as the process
};

// One connection attempt of a link: its own instance (a dead conversation stays in its instance
// under Wine and spoils every later connection made in it), the item's name and the conversation.
// Members end in reverse order: the conversation first, the instance last.
struct DdeLinkSession {
    DdeLinkSession(DdeHandler handler, std::shared_ptr<DdeLinkChannel> link, unsigned serial)
        : instance(std::move(handler),
                   APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS),
          link(std::move(link)),
          serial(serial) {}

    HCONV Conv() const { return conversation ? conversation->Get() : nullptr; }
    void RaiseClose() {
        if (closing) return;
        closing = true;
        link->Raise({DdeLinkEvent::Kind::Close, {}, 0, serial});
    }

    DdeInstance instance;
    std::optional<DdeString> item;
    std::optional<DdeConversation> conversation;
    const std::shared_ptr<DdeLinkChannel> link;
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

class DdeThread {
  public:
    explicit DdeThread(JobQueue& queue)
        : queue_(queue), window_([this](UINT message, WPARAM, LPARAM) {
              if (message == kJobsMessage) RunJobs();
              if (message == WM_TIMER) Look();
          }) {
        queue_.SetWindow(window_.Handle());
    }
    DdeThread(const DdeThread&) = delete;
    DdeThread& operator=(const DdeThread&) = delete;

  private:
    using Sessions = std::map<const DdeLinkChannel*, std::unique_ptr<DdeLinkSession>>;

    void RunJobs() {
        // On Windows, DDEML's wait for an answer dispatches this thread's messages: the jobs that
        // come meanwhile wait for the one under way.
        if (inJob_) return;
        inJob_ = true;
        while (const std::shared_ptr<DdeJob> job = queue_.Next()) {
            if (!job->Start()) {
                queue_.Progress(!parking_.Empty());
                continue;
            }
            try {
                Run(*job);
            } catch (const std::exception& failure) {
                job->Finish(failure.what());
            }
            queue_.Progress(!parking_.Empty());
        }
        inJob_ = false;
        Settle();
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
                EndSessionOf(*job.link);
                job.Finish(std::nullopt);
                return;
            case DdeJob::Kind::Forget:
                EndSessionOf(*job.link);
                sessions_.erase(job.link.get());
                job.Finish(std::nullopt);
                return;
        }
    }

    void Connect(DdeJob& job) {
        EndSessionOf(*job.link);
        auto session = std::make_unique<DdeLinkSession>(
            [this, link = job.link, serial = job.serial](const DdeCall& call) {
                return OnDde(call, *link, serial);
            },
            job.link, job.serial);
        const std::optional<std::string> failure = Open(*session, job);
        // A failed attempt, or one given up on, is ended once its outcome is known.
        if (!job.Finish(failure) || failure) {
            End(std::move(session));
            return;
        }
        sessions_[job.link.get()] = std::move(session);
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
        DdeLinkSession* session = SessionOf(*job.link);
        if (!session || session->closing) return "No DDE conversation";
        const HCONV conv = session->Conv();
        TakeWaitingData(conv);
        std::string data = job.text;
        data.push_back('\0');
        // Wine answers every poke with success and leaves the acknowledgement in the result's low
        // word; Windows fails a refused poke and sets the word too. Assume an acknowledgement
        // when nothing is written there.
        DWORD result = DDE_FACK;
        if (!DdeClientTransaction(reinterpret_cast<BYTE*>(data.data()),
                                  static_cast<DWORD>(data.size()), conv, session->item->Get(),
                                  CF_TEXT, XTYP_POKE, job.timeoutMs, &result))
            return LastError(session->instance);
        // A result wider than an acknowledgement is a hot-link value that Wine took for the
        // acknowledgement: the value is lost, the poke went out.
        if (result > 0xFFFF) return std::nullopt;
        if (result & DDE_FBUSY) return DdeErrorText(DMLERR_BUSY);
        if (!(result & DDE_FACK)) return DdeErrorText(DMLERR_NOTPROCESSED);
        return std::nullopt;
    }

    DdeLinkSession* SessionOf(const DdeLinkChannel& link) {
        const auto found = sessions_.find(&link);
        return found == sessions_.end() ? nullptr : found->second.get();
    }

    // Every conversation ends here, through the parking: a hung partner is never waited for.
    void End(std::unique_ptr<DdeLinkSession> session) {
        session->instance.Detach();
        const HCONV conv = session->Conv();
        parking_.End(std::shared_ptr<DdeLinkSession>(std::move(session)), conv);
    }

    void EndSessionOf(const DdeLinkChannel& link) {
        const auto found = sessions_.find(&link);
        if (found != sessions_.end() && found->second) End(std::move(found->second));
    }

    HDDEDATA OnDde(const DdeCall& call, DdeLinkChannel& link, unsigned serial) {
        switch (call.type) {
            case XTYP_ADVDATA:
                if (call.format != CF_TEXT) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
                link.Raise({DdeLinkEvent::Kind::Data, DdeDataText(call.data), 0, serial});
                return reinterpret_cast<HDDEDATA>(DDE_FACK);
            case XTYP_DISCONNECT:
                if (DdeLinkSession* session = SessionOf(link);
                    session && session->serial == serial && session->Conv() == call.conv)
                    session->RaiseClose();
                return nullptr;
            case XTYP_ERROR:
                if (call.conv)
                    link.Raise({DdeLinkEvent::Kind::Error,
                                {},
                                static_cast<int>(LOWORD(call.data1)),
                                serial});
                return nullptr;
            default:
                return nullptr;
        }
    }

    // The timer: the watch of the open conversations and the recheck of the parked ones. Not
    // inside a job: on Windows, DDEML's wait for an answer dispatches timers, and neither may pull
    // a conversation from under the transaction.
    void Look() {
        if (inJob_) return;
        for (const auto& [link, session] : sessions_)
            if (session && !session->closing && !ConversationAlive(session->Conv()))
                session->RaiseClose();
        parking_.Recheck();
        Settle();
    }

    // Tells the owners how far the thread is, and keeps the timer while there is anything to
    // look at.
    void Settle() {
        bool open = false;
        for (const auto& [link, session] : sessions_) open = open || session != nullptr;
        const bool look = open || !parking_.Empty();
        if (look != looking_) {
            if (look)
                window_.StartTimer(kLookTimer, DdeLink::kWatchIntervalMs);
            else
                window_.StopTimer(kLookTimer);
            looking_ = look;
        }
        queue_.Progress(!parking_.Empty());
    }

    JobQueue& queue_;
    DdeParking parking_;  // before the sessions: it outlives them
    Sessions sessions_;   // by link; a link whose conversation ended keeps an empty place
    MessageWindow window_;
    bool inJob_ = false;
    bool looking_ = false;
};

// The process's DDE thread, started at the first job. It runs until the process ends: links come
// and go, and one that is gone may leave a parked conversation to end.
std::mutex startMutex;
JobQueue* theQueue = nullptr;

struct ThreadStart {
    JobQueue* queue;
    HANDLE ready;
    bool started = false;
};

DWORD WINAPI RunDdeThread(void* parameter) {
    auto& start = *static_cast<ThreadStart*>(parameter);
    std::optional<DdeThread> thread;
    try {
        thread.emplace(*start.queue);
        start.started = true;
    } catch (const std::exception&) {
    }
    // From here on `start` is gone.
    SetEvent(start.ready);
    if (thread) RunMessageLoop();
    return 0;
}

JobQueue& Queue() {
    std::lock_guard lock(startMutex);
    if (theQueue) return *theQueue;
    auto queue = std::make_unique<JobQueue>();
    const HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ready) throw base::Failure("Cannot start the DDE thread");
    ThreadStart start{queue.get(), ready};
    // The program's own stack size, as the window's thread has: Wine cannot hand a thread a DDE
    // update about as large as its stack.
    const HANDLE thread = CreateThread(nullptr, 0, &RunDdeThread, &start, 0, nullptr);
    if (thread) {
        WaitForSingleObject(ready, INFINITE);
        CloseHandle(thread);
    }
    CloseHandle(ready);
    if (!thread || !start.started) throw base::Failure("Cannot start the DDE thread");
    theQueue = queue.release();
    return *theQueue;
}

JobQueue* RunningQueue() {
    std::lock_guard lock(startMutex);
    return theQueue;
}

}  // namespace

void SendDdeJob(std::shared_ptr<DdeJob> job) {
    Queue().Push(std::move(job));
}

bool WaitForDdeThread(ULONGLONG deadline) {
    JobQueue* queue = RunningQueue();
    if (!queue) return true;
    queue->Watch();
    for (;;) {
        if (queue->Idle()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const HANDLE progress = queue->ProgressEvent();
        const DWORD result = MsgWaitForMultipleObjects(
            1, &progress, FALSE,
            static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kProgressPollMs)),
            QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0 + 1) {
            MSG msg;  // handles the sent messages, takes nothing from the queue
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}

}  // namespace win32io
