#pragma once
// The program's two DDE peers, played by the test itself on its own thread: the host program and
// the rotator program, under the names of base/dde_names.h. Each peer records what reaches it
// (connection attempts, pokes), answers pokes as told, publishes, and ends its conversations on
// demand.
//
// A peer answers only while its thread handles messages: wait with e2e::WaitUntil or the waits
// here, which do. A peer appears when it is made and goes away when it is destroyed (its service
// is withdrawn, which ends its conversations); keep it in a std::optional to bring it back.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "harness.h"
#include "win32io/dde_server.h"

namespace e2e {

// What reached the peers, in order, shared by both so that the order between them shows.
struct PeerEvent {
    ULONGLONG atMs;    // GetTickCount64 when it arrived
    std::string what;  // "connect WENDRA", "poke ARSWIN GA:47", ...
};
using PeerLog = std::vector<PeerEvent>;

class DdePeer {
  public:
    // How the peer answers a poke.
    enum class Answer { Accept, Refuse, Busy, Hang };

    DdePeer(const std::string& service, const std::string& topic, std::string item, PeerLog& log);

    const std::string& Service() const { return service_; }
    // Connection attempts are recorded whether they are accepted or not.
    bool acceptConnections = true;
    Answer pokeAnswer = Answer::Accept;
    // A hung peer sits in its callback this long and then accepts, as a program that wakes up.
    DWORD hangMs = 2500;
    // Runs inside the poke's callback before the answer, with the text poked.
    std::function<void(const std::string& text)> whileAnswering;

    // The texts poked to the item, in order, whatever the answer was.
    const std::vector<std::string>& Pokes() const { return pokes_; }
    // Waits until at least `count` pokes have come.
    bool WaitForPokes(std::size_t count, DWORD limitMs = kPatienceMs) const;
    int ConnectAttempts() const { return connectAttempts_; }
    bool Linked() const { return server_.Conversations() > 0; }

    void Publish(const std::string& text) { server_.Publish(item_, text); }
    // Ends every conversation from this side; the service stays offered.
    void DropConversations() { server_.DropConversations(); }

  private:
    void Record(const std::string& what);

    std::string service_;
    std::string item_;
    PeerLog& log_;
    std::vector<std::string> pokes_;
    int connectAttempts_ = 0;
    win32io::DdeServer server_;  // last: its callbacks use the members above
};

// The host program, under its first name or its second.
class HostPeer : public DdePeer {
  public:
    explicit HostPeer(PeerLog& log, const std::string& service = dde_names::host::kService)
        : DdePeer(service, dde_names::host::kTopic, dde_names::host::kItem, log) {}
};

class RotatorPeer : public DdePeer {
  public:
    explicit RotatorPeer(PeerLog& log)
        : DdePeer(dde_names::rotator::kService, dde_names::rotator::kTopic,
                  dde_names::rotator::kItem, log) {}
};

// The events of the log whose text begins with the prefix, without their times.
std::vector<std::string> EventsStartingWith(const PeerLog& log, const std::string& prefix,
                                            std::size_t from = 0);

}  // namespace e2e
