#pragma once
// The bridge itself: the rotator link's DDE service on this thread, and the rotctld driver on a
// thread of its own. Pokes go to the driver; reports come back through a message to this thread
// and are published on the rotator's item from there, never from inside a DDE callback.
#include <deque>
#include <mutex>
#include <string>

#include "bridges/rotator/core/address.h"
#include "bridges/rotator/core/driver_thread.h"
#include "bridges/rotator/core/rotator_driver.h"
#include "bridges/rotator/win32/bridge_status.h"
#include "bridges/rotator/win32/rotctld_socket.h"
#include "win32io/companion.h"
#include "win32io/dde_server.h"
#include "win32io/message_window.h"

namespace rotbridge {

class Bridge : public win32io::RunningCompanion, public DriverOutput {
  public:
    // Offers the service; throws base::Failure when DDEML refuses. The thread must pump messages.
    Bridge(const RotctldAddress& rotctld, win32io::CompanionOutput& output);
    ~Bridge() override;

    // DriverOutput, called on the driver's thread.
    void Say(const std::string& line) override { output_.Line(line); }
    void Publish(const std::string& report) override;
    void Status(const DriverStatus& status) override { status_.SetDriver(status); }

  private:
    win32io::DdeServer::PokeReply OnPoke(const std::string& item, const std::string& text);
    void PublishReports();

    win32io::CompanionOutput& output_;
    BridgeStatus status_;
    win32io::MessageWindow mailbox_;
    std::mutex mutex_;
    std::deque<std::string> reports_;
    RotctldSocket connection_;
    RotatorDriver driver_;
    DriverThread thread_;  // starts when what it uses exists
    // Last: offered once everything it hands work to exists, and withdrawn first, so that no
    // client reaches a bridge that is stopping.
    win32io::DdeServer server_;
};

}  // namespace rotbridge
