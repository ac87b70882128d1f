#pragma once
// A DDE client conversation for one link slot: a hot link on one item, pokes to that item, and a
// watch that notices when the conversation is gone.
//
// The conversation lives on the process's DDE thread; the calls here wait for its outcome as a
// peer wait (win32io/peer_wait.h): never past the limit, and a failure when the limit passes. What
// the DDE thread was given up on is undone there: a late conversation is ended, a poke not yet
// sent is dropped. Every conversation it ends, to a hung server too, ends without a wait.
//
// The events are raised in order from the message loop of the thread that made the link, never
// inside a peer wait, so a handler may poke, connect or disconnect freely.
// docs/dde-links.md tells the whole story.
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "win32io/message_window.h"
#include "win32io/peer_wait.h"

namespace win32io {

class DdeJob;
class DdeLinkChannel;
struct DdeLinkEvent;

class DdeLink {
  public:
    // How long a server may take to answer the start of the hot link or a poke: the peer wait's
    // limit, less the time it takes to hand the outcome over.
    static constexpr DWORD kTransactionTimeoutMs = kPeerWaitLimitMs - 100;
    // How often the DDE thread looks at the conversations; a lost one is raised within this time
    // plus the message loop's latency.
    static constexpr UINT kWatchIntervalMs = 250;

    DdeLink();   // throws base::Failure
    ~DdeLink();  // ends the conversation quietly
    DdeLink(const DdeLink&) = delete;
    DdeLink& operator=(const DdeLink&) = delete;

    // Opens a conversation with the application on the topic and a hot link on the item. The
    // link delivers only values published from now on. Throws base::Failure when no server
    // answers, when the server refuses the hot link, or when the limit passes. A link already
    // open is ended quietly first.
    void Connect(const std::string& application, const std::string& topic, const std::string& item);
    // Ends the conversation, or the attempt to open one that is under way, without raising
    // onClose and without waiting; events not yet raised are dropped.
    void Disconnect();
    // Sends the text to the item as CF_TEXT with its NUL. Throws base::Failure when the server
    // refuses it, is busy or does not answer within the limit, or there is no conversation. A
    // failed poke does not end the link.
    void Poke(const std::string& text);
    bool Connected() const { return linked_ != 0; }

    std::function<void(const std::string& text)> onData;  // each value published on the item
    std::function<void()> onClose;                        // the server ended the conversation
    std::function<void(int code)> onError;                // a DDEML error in the conversation

  private:
    DWORD TransactionTimeout() const;
    void Run(const std::shared_ptr<DdeJob>& job);
    void Send(const std::shared_ptr<DdeJob>& job) const;
    void Deliver();
    void Raise(const DdeLinkEvent& event);

    MessageWindow window_;
    std::shared_ptr<DdeLinkChannel> channel_;
    std::shared_ptr<DdeJob> waitingFor_;  // the job whose outcome is being waited for
    bool droppedWhileWaiting_ = false;    // Disconnect gave it up
    bool deliveryAsked_ = false;          // for the end of the waits on peers
    unsigned serial_ = 0;                 // of the last connection attempt
    unsigned linked_ = 0;                 // serial of the open conversation; 0 when there is none
    std::deque<DdeLinkEvent> events_;
    std::shared_ptr<int> lifeline_;  // expires with the link, to stop delivery if a handler ends it
};

// For a program that ends: waits until the DDE thread has ended the conversations it was asked to
// end, a busy partner's too, for at most kDdeLinkEndLimitMs from the first call in the process;
// whether they are all ended. One whose partner is still hung then is left. Handles only the
// messages sent to this thread meanwhile: no window's event runs.
inline constexpr DWORD kDdeLinkEndLimitMs = 1500;
bool WaitForDdeLinkEnds();

}  // namespace win32io
