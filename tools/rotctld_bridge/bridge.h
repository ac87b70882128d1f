#pragma once
// The bridge itself: the rotator link's DDE service (ARSWIN, topic RCI, item AZIMUTH) on this
// thread, and the rotctld driver on a thread of its own. Pokes go to the driver; reports come
// back through a message to this thread and are published on AZIMUTH from there, never from
// inside a DDE callback.
#include <deque>
#include <mutex>
#include <string>

#include "platform/win32/dde_window.h"
#include "tools/dde_server.h"
#include "tools/rotctld_bridge/console.h"
#include "tools/rotctld_bridge/core/address.h"
#include "tools/rotctld_bridge/core/driver_thread.h"
#include "tools/rotctld_bridge/core/rotator_driver.h"
#include "tools/rotctld_bridge/winsock_connection.h"

namespace rotbridge {

class Bridge : public DriverOutput {
  public:
    // Offers the service; throws base::Failure when DDEML refuses. The thread must pump messages.
    Bridge(const RotctldAddress& rotctld, Console& console);

    // DriverOutput, called on the driver's thread.
    void Say(const std::string& line) override { console_.Line(line); }
    void Publish(const std::string& report) override;
    void Connected(bool up) override { console_.SetConnected(up); }

  private:
    tools::DdeServer::PokeReply OnPoke(const std::string& item, const std::string& text);
    void PublishReports();

    Console& console_;
    tools::DdeServer server_;
    platform::win32::DdeWindow mailbox_;
    std::mutex mutex_;
    std::deque<std::string> reports_;
    WinsockConnection connection_;
    RotatorDriver driver_;
    DriverThread thread_;  // last: starts when the rest exists, and stops first
};

}  // namespace rotbridge
