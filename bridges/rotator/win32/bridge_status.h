#pragma once
// The rotator bridge's console title: what it is connected to and the last command it received.
#include <mutex>
#include <string>

#include "win32io/console.h"

namespace rotbridge {

class BridgeStatus {
  public:
    BridgeStatus(win32io::Console& console, std::string rotctld);

    // Any thread.
    void SetConnected(bool up);
    void SetLastCommand(const std::string& command);

  private:
    void Show();  // with the mutex held

    win32io::Console& console_;
    std::mutex mutex_;
    std::string rotctld_;
    bool connected_ = false;
    std::string lastCommand_;
};

}  // namespace rotbridge
