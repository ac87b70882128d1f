#pragma once
// Hamlib's rotctld with its dummy rotator on a free port of 127.0.0.1, a Linux process beside the
// Windows ones. The dummy rotator turns at about 6 degrees a second and starts at 0.
#include <optional>
#include <string>

namespace bridge_e2e {

class DummyRotctld {
  public:
    DummyRotctld();  // starts it; throws std::runtime_error when it does not listen
    ~DummyRotctld();
    DummyRotctld(const DummyRotctld&) = delete;
    DummyRotctld& operator=(const DummyRotctld&) = delete;

    int Port() const { return port_; }
    void Start();  // again, on the same port: a fresh rotator at 0
    void Kill();   // at once, as a crash would; waits until the port refuses connections
    // The rotator's azimuth, asked of rotctld itself.
    std::optional<double> Azimuth() const;

  private:
    void RunScript(const std::string& arguments) const;
    bool Listening() const;

    int port_;
    std::string pidFile_;
};

}  // namespace bridge_e2e
