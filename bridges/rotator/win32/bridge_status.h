#pragma once
// What the rotator bridge's window shows in its status lines, and its tooltip: rotctld and its
// state, the rotator's model, the azimuth, the heading it turns to, the last command and whether
// Vantro32 holds the rotator link. Kept from what the driver and the DDE service report.
#include <mutex>
#include <string>
#include <vector>

#include "bridges/rotator/core/rotator_driver.h"
#include "win32io/companion.h"

namespace rotbridge {

// The labels of the status lines, in the order of the values.
const std::vector<std::string>& StatusLabels();

class BridgeStatus {
  public:
    BridgeStatus(win32io::CompanionOutput& output, std::string rotctld);

    // Any thread.
    void SetDriver(const DriverStatus& driver);
    void SetLastCommand(const std::string& command);
    void SetLinked(bool linked);

  private:
    void Show();  // with the mutex held

    win32io::CompanionOutput& output_;
    std::mutex mutex_;
    std::string rotctld_;
    DriverStatus driver_;
    std::string lastCommand_;
    bool linked_ = false;
};

}  // namespace rotbridge
