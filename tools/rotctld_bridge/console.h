#pragma once
// The bridge's output: one line per event, with the time, on standard output (flushed at once, so
// a pipe reads it as it happens), and a status in the console window's title: what the bridge
// is connected to and the last command it received.
#include <mutex>
#include <string>

namespace rotbridge {

class Console {
  public:
    explicit Console(std::string rotctld) : rotctld_(std::move(rotctld)) { ShowStatus(); }

    // Any thread.
    void Line(const std::string& text);
    void SetConnected(bool up);
    void SetLastCommand(const std::string& command);

  private:
    void ShowStatus();  // with the mutex held

    std::mutex mutex_;
    std::string rotctld_;
    bool connected_ = false;
    std::string lastCommand_;
};

}  // namespace rotbridge
