#include "bridges/rotator/win32/bridge_status.h"
#include "base/dde_names.h"

namespace rotbridge {

BridgeStatus::BridgeStatus(win32io::Console& console, std::string rotctld)
    : console_(console), rotctld_(std::move(rotctld)) {
    const std::lock_guard lock(mutex_);
    Show();
}

void BridgeStatus::SetConnected(bool up) {
    const std::lock_guard lock(mutex_);
    connected_ = up;
    Show();
}

void BridgeStatus::SetLastCommand(const std::string& command) {
    const std::lock_guard lock(mutex_);
    lastCommand_ = command;
    Show();
}

void BridgeStatus::Show() {
    console_.Title("rotbridge: " +
                   dde_names::LinkTopic(dde_names::rotator::kService, dde_names::rotator::kTopic) +
                   " to rotctld " + rotctld_ + (connected_ ? " (connected)" : " (not connected)") +
                   (lastCommand_.empty() ? "" : ", last command " + lastCommand_));
}

}  // namespace rotbridge
