#include "bridges/rotator/win32/bridge_status.h"

#include "base/dde_names.h"

namespace rotbridge {

namespace {
std::string Degrees(const std::string& number) {
    return number + " degrees";
}
}  // namespace

const std::vector<std::string>& StatusLabels() {
    static const std::vector<std::string> labels{
        "rotctld:", "Rotator:", "Azimuth:", "Turning to:", "Last command:", "Vantro32:"};
    return labels;
}

BridgeStatus::BridgeStatus(win32io::CompanionOutput& output, std::string rotctld)
    : output_(output), rotctld_(std::move(rotctld)) {
    const std::lock_guard lock(mutex_);
    Show();
}

void BridgeStatus::SetDriver(const DriverStatus& driver) {
    const std::lock_guard lock(mutex_);
    driver_ = driver;
    Show();
}

void BridgeStatus::SetLastCommand(const std::string& command) {
    const std::lock_guard lock(mutex_);
    lastCommand_ = command;
    Show();
}

void BridgeStatus::SetLinked(bool linked) {
    const std::lock_guard lock(mutex_);
    if (linked == linked_) return;
    linked_ = linked;
    Show();
}

void BridgeStatus::Show() {
    std::string state = "connecting";
    if (driver_.connected) {
        state = "connected";
    } else if (!driver_.problem.empty()) {
        state = "not reachable (" + driver_.problem + "); trying again";
    }
    std::string model = driver_.connected ? "not given by rotctld" : "not known yet";
    if (!driver_.model.empty()) model = driver_.model;
    const std::string azimuth =
        driver_.azimuth ? Degrees(std::to_string(*driver_.azimuth)) : "not known yet";
    const std::string turning =
        driver_.turningTo ? Degrees(DegreesText(*driver_.turningTo)) : "not turning";
    const std::string link = linked_ ? "holds the rotator link" : "not linked";
    output_.Status(
        {rotctld_ + ", " + state, model, azimuth, turning,
         lastCommand_.empty() ? "none yet" : lastCommand_,
         link + " (" +
             dde_names::LinkTopic(dde_names::rotator::kService, dde_names::rotator::kTopic) + ")"},
        "rotctld " + (driver_.connected ? std::string("connected") : state) +
            (driver_.azimuth ? ", azimuth " + std::to_string(*driver_.azimuth) : "") +
            ", Vantro32 " + (linked_ ? "linked" : "not linked"));
}

}  // namespace rotbridge
