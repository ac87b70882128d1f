#pragma once
// A small DDEML server: one service name, one topic, any items. The substitute peers and the
// companions are built on it, and tests use it to play a peer.
//
// Everything runs on the thread that made the server, which must pump messages. Names compare
// without regard to case, as DDE names do. One server per service name in a process: DDEML does
// not tell two instances offering the same name apart.
//
// Under Wine a value published for an item while a client's poke on that item waits for its
// acknowledgement is taken as the acknowledgement and lost. So a value is never published from
// inside a callback: Publish called there, and PublishLater anywhere, post it to the server
// itself, and it goes out once the callback has returned and the poke has been answered.
//
// A client that ends without ending its conversation (its program killed or crashed) says
// nothing: DDEML keeps the conversation. The server looks at each client's conversation window,
// which goes with its program, four times a second and before each publish, and ends the
// conversation of a client that is gone as if the client had ended it.
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "win32io/dde_handles.h"
#include "win32io/message_window.h"

namespace win32io {

class DdeServer {
  public:
    enum class PokeReply { Accept, Refuse, Busy };

    // Registers the service; throws base::Failure when DDEML refuses.
    DdeServer(const std::string& service, const std::string& topic);
    ~DdeServer();  // unregisters the service, which ends its conversations
    DdeServer(const DdeServer&) = delete;
    DdeServer& operator=(const DdeServer&) = delete;

    // Unset callbacks accept. A peer that never answers a poke is one whose onPoke does not
    // return (it blocks, as a hung program does).
    std::function<bool()> onConnect;
    std::function<PokeReply(const std::string& item, const std::string& text)> onPoke;
    std::function<bool(const std::string& item)> onAdviseStart;
    // A hot link ended: its client stopped it, ended its conversation or is gone.
    std::function<void(const std::string& item)> onAdviseStop;
    std::function<void()> onDisconnect;  // a client ended its conversation
    // A client went away without ending its conversation; onAdviseStop follows for each of its
    // hot links.
    std::function<void()> onClientGone;

    // Sends the text to every hot link on the item.
    void Publish(const std::string& item, const std::string& text);
    // Publishes once the current callback, if any, has returned.
    void PublishLater(const std::string& item, const std::string& text);
    // Ends every conversation, as a server that closes its side.
    void DropConversations();
    // Notices the clients that are gone at once, rather than at the next look.
    void LookForGoneClients();
    int Conversations() const { return static_cast<int>(conversations_.size()); }

    // Whether CF_TEXT goes out with its terminating NUL, as most servers send it. Off, the data
    // is exactly the text, as some servers send it.
    bool sendNul = true;

  private:
    struct Conversation {
        HCONV conv;
        std::vector<std::string> hotItems;  // as the client named them
    };

    HDDEDATA OnDde(const DdeCall& call);
    HDDEDATA TextData(HSZ item, const std::string& text) const;
    std::string ItemName(HSZ item) const;
    void PublishPending();
    Conversation* Find(HCONV conv);
    // Forgets the conversation, calls `announce` (one of the callbacks) and says that its hot
    // links ended.
    void Forget(HCONV conv, const std::function<void()>& announce);
    void Watch();

    DdeInstance instance_;
    DdeString service_;
    DdeString topic_;
    MessageWindow window_;
    std::vector<Conversation> conversations_;
    std::map<std::string, std::string> values_;  // by upper-case item name
    std::deque<std::pair<std::string, std::string>> pending_;
    bool inCallback_ = false;
};

}  // namespace win32io
