#pragma once
// The DDEML side of a DdeLink, on a thread of the link's own: it connects, pokes, watches and ends
// the conversation. The window's thread only hands it jobs and waits for their outcome within
// its limit, so that a peer that does not answer, or a DDE broadcast that a hung program holds,
// never holds the window for longer.
#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace win32io {

// A job of the window's thread for the link's thread, finished once. The window's thread may
// give up on it: a job given up before it starts is dropped, and a conversation that one given up
// on opens is ended at once.
class DdeJob {
  public:
    enum class Kind { Connect, Poke, End, Stop };

    explicit DdeJob(Kind kind);
    ~DdeJob();
    DdeJob(const DdeJob&) = delete;
    DdeJob& operator=(const DdeJob&) = delete;

    const Kind kind;
    std::string application, topic, item;  // Connect
    std::string text;                      // Poke
    unsigned serial = 0;                   // Connect: the conversation's, for its events
    DWORD timeoutMs = 0;                   // Connect, Poke: the transaction's limit

    HANDLE Done() const { return done_; }
    // On the link's thread: whether to run it (false when it was given up before it started).
    bool Start();
    // On the link's thread: its outcome, a failure's description or none. False when the
    // window's thread had given up on it.
    bool Finish(std::optional<std::string> failure);
    // On the window's thread: gives it up unless it has finished; whether it was given up.
    bool GiveUp();
    bool Finished() const;
    std::optional<std::string> Failure() const;

  private:
    mutable std::mutex mutex_;
    bool started_ = false, finished_ = false, givenUp_ = false;
    std::optional<std::string> failure_;
    HANDLE done_;
};

// What the link's thread raises, for the window's thread to deliver.
struct DdeLinkEvent {
    enum class Kind { Data, Close, Error } kind;
    std::string text;
    int code = 0;
    unsigned serial = 0;  // of the conversation it belongs to
};

// What the two threads share: jobs one way, events the other, each announced by a message to
// the other side's window.
class DdeLinkChannel {
  public:
    static constexpr UINT kJobsMessage = WM_APP;    // to the link's thread
    static constexpr UINT kEventsMessage = WM_APP;  // to the window's thread

    void Send(std::shared_ptr<DdeJob> job);
    std::shared_ptr<DdeJob> NextJob();
    void Raise(DdeLinkEvent event);
    std::deque<DdeLinkEvent> TakeEvents();

    void SetLinkWindow(HWND window);
    // Nothing is announced to the window's thread any more once this is null.
    void SetOwnerWindow(HWND window);

  private:
    std::mutex mutex_;
    std::deque<std::shared_ptr<DdeJob>> jobs_;
    std::deque<DdeLinkEvent> events_;
    HWND link_ = nullptr;
    HWND owner_ = nullptr;
};

// Starts the link's thread and returns once it takes jobs; throws base::Failure when it cannot.
// Nobody waits for the thread to end: it ends by itself after a Stop job, once the conversations
// it parked are ended (a hung peer may take long), or with the process.
void StartDdeLinkThread(std::shared_ptr<DdeLinkChannel> channel);

}  // namespace win32io
