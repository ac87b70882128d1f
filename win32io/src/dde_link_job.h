#pragma once
// What a DdeLink and the DDE thread hand each other: jobs one way, events the other.
// docs/dde-links.md tells how the two sides work together.
#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace win32io {

// The events of one link, from the DDE thread to the thread that owns the link, each announced by
// a message to the owner's window.
struct DdeLinkEvent {
    enum class Kind { Data, Close, Error } kind;
    std::string text;
    int code = 0;
    unsigned serial = 0;  // of the conversation it belongs to
};

class DdeLinkChannel {
  public:
    static constexpr UINT kEventsMessage = WM_APP;

    explicit DdeLinkChannel(HWND owner) : owner_(owner) {}

    // On the DDE thread.
    void Raise(DdeLinkEvent event);
    // On the owner's thread.
    std::deque<DdeLinkEvent> TakeEvents();
    // Nothing is raised any more: the link is going away.
    void Close();

  private:
    std::mutex mutex_;
    std::deque<DdeLinkEvent> events_;
    HWND owner_;
    bool announced_ = false;  // a message is on its way for what waits
};

// A job of a link for the DDE thread, finished once. The link's owner may give up on it: a job
// given up before it starts is dropped, and a conversation that one given up on opens is ended
// at once.
class DdeJob {
  public:
    // End ends the link's conversation; Forget also forgets the link, which is going away.
    enum class Kind { Connect, Poke, End, Forget };

    // A Connect or a Poke, which is waited for, throws base::Failure when Windows has no event
    // to spare for its Done().
    DdeJob(Kind kind, std::shared_ptr<DdeLinkChannel> link);
    ~DdeJob();
    DdeJob(const DdeJob&) = delete;
    DdeJob& operator=(const DdeJob&) = delete;

    const Kind kind;
    const std::shared_ptr<DdeLinkChannel> link;
    std::string application, topic, item;  // Connect
    std::string text;                      // Poke
    unsigned serial = 0;                   // Connect: the conversation's, for its events
    DWORD timeoutMs = 0;                   // Connect, Poke: the transaction's limit

    HANDLE Done() const { return done_; }
    // On the DDE thread: whether to run it (false when it was given up before it started).
    bool Start();
    // On the DDE thread: its outcome, a failure's description or none. False when it had been
    // given up.
    bool Finish(std::optional<std::string> failure);
    // Gives it up unless it has finished; whether it is given up.
    bool GiveUp();
    std::optional<std::string> Failure() const;

  private:
    mutable std::mutex mutex_;
    bool started_ = false, finished_ = false, givenUp_ = false;
    std::optional<std::string> failure_;
    HANDLE done_ = nullptr;
};

}  // namespace win32io
