#pragma once
// The bridge itself: the host's DDE service (WENDRA32 or WENDRA, topic WENDATA, item labDxSpot)
// on this thread, and the node session on a thread of its own. Spots from the node go into the
// relay; a timer on this thread publishes them from there while a client holds a hot link on
// the item, never from inside a DDE callback.
#include <mutex>
#include <string>

#include "bridges/cluster/core/bridge_settings.h"
#include "bridges/cluster/core/node_session.h"
#include "bridges/cluster/core/session_thread.h"
#include "bridges/cluster/core/spot_relay.h"
#include "bridges/cluster/win32/node_socket.h"
#include "win32io/companion.h"
#include "win32io/dde_server.h"
#include "win32io/message_window.h"

namespace clusterbridge {

class Bridge : public cluster::SessionOutput {
  public:
    // Offers the service and starts the session; throws base::Failure when DDEML refuses. The
    // thread must pump messages. The settings and the table must outlive the bridge.
    Bridge(const cluster::BridgeSettings& settings, const cluster::CountryTable& table,
           win32io::CompanionOutput& output);
    ~Bridge() override;  // says the counts

    // SessionOutput, called on the session's thread.
    void Say(const std::string& line) override { output_.Line(line); }
    void Status(const cluster::SessionStatus& status) override;
    void LiveSpot(const cluster::Spot& spot) override;
    void BacklogSpot() override;
    void UnreadableSpot() override;

  private:
    void OnTimer(UINT_PTR id);
    void Publish();
    void ShowCounts();
    void ShowStatus();

    const cluster::BridgeSettings& settings_;
    win32io::CompanionOutput& output_;
    win32io::MessageWindow ticker_;
    int hotLinks_ = 0;
    std::mutex mutex_;
    cluster::SpotRelay relay_;            // under the mutex
    cluster::RelayCounts countsShown_{};  // this thread's
    cluster::SessionStatus status_;       // under the mutex
    NodeSocket connection_;
    cluster::NodeSession session_;
    cluster::SessionThread thread_;  // starts when what it uses exists
    // Last: offered once everything it hands work to exists, and withdrawn first, so that no
    // client reaches a bridge that is stopping.
    win32io::DdeServer server_;
};

}  // namespace clusterbridge
