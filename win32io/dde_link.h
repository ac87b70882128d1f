#pragma once
// A DDE client conversation for one link slot: a hot link on one item, pokes to that item, and a
// watch of its own that notices when the conversation is gone.
//
// Every connection attempt gets a DDEML instance of its own, made afresh: a dead conversation
// stays in its instance under Wine and spoils every later connection made in it.
//
// The events are never raised inside a DDEML callback: the callback only queues them, and the
// link's hidden window raises them in order from the message loop, so a handler may poke, connect
// or disconnect freely. No event is raised while a transaction of any link is waiting for its
// answer. All of this runs on the thread that made the link.
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "win32io/dde_handles.h"
#include "win32io/message_window.h"

namespace win32io {

struct DdeLinkSession;

class DdeLink {
  public:
    // How long a server may take to answer the start of the hot link or a poke. Long enough for
    // a busy peer, short enough that a hung one freezes the window only briefly (DDEML pumps no
    // paint messages while it waits).
    static constexpr DWORD kTransactionTimeoutMs = 1000;
    // How often the watch looks at the conversation; a lost one is raised within this time plus
    // the message loop's latency.
    static constexpr UINT kWatchIntervalMs = 250;

    DdeLink();
    ~DdeLink();  // ends the conversation quietly
    DdeLink(const DdeLink&) = delete;
    DdeLink& operator=(const DdeLink&) = delete;

    // Opens a conversation with the application on the topic and a hot link on the item. The
    // link delivers only values published from now on. Throws base::Failure when no server
    // answers, or when the server refuses the hot link (the conversation is then ended). A link
    // already open is ended quietly first.
    void Connect(const std::string& application, const std::string& topic, const std::string& item);
    // Ends the conversation without raising onClose; events not yet raised are dropped. When the
    // server does not answer, its conversation is left to be ended later, so that the caller does
    // not wait for it.
    void Disconnect();
    // Sends the text to the item as CF_TEXT with its NUL. Throws base::Failure when the server
    // refuses it, is busy, does not answer within kTransactionTimeoutMs, or there is no
    // conversation. A failed poke does not end the link.
    void Poke(const std::string& text);
    bool Connected() const { return session_ != nullptr; }

    std::function<void(const std::string& text)> onData;  // each value published on the item
    std::function<void()> onClose;                        // the server ended the conversation
    std::function<void(int code)> onError;                // a DDEML error in the conversation

  private:
    struct Event {
        enum class Kind { Data, Close, Error } kind;
        std::string text;
        int code = 0;
    };

    HDDEDATA OnDde(const DdeCall& call);
    void OnMessage(UINT message);
    void Queue(Event event);
    void Deliver();
    void Raise(const Event& event);
    void Watch();
    void EndSession();

    std::unique_ptr<DdeLinkSession> session_;
    std::deque<Event> events_;
    MessageWindow window_;
    std::shared_ptr<int> lifeline_;  // expires with the link, to stop delivery if a handler ends it
};

}  // namespace win32io
