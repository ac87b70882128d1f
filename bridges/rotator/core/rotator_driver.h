#pragma once
// What the bridge asks of rotctld, and when: it connects and reconnects, sends turns, polls the
// position and publishes it while the rotator moves. One thread calls it; each call may wait on
// rotctld for as long as the connection's time-outs allow, never longer.
#include <chrono>
#include <optional>
#include <string>

#include "bridges/rotator/core/heading.h"
#include "bridges/rotator/core/rotctld_client.h"
#include "bridges/rotator/core/rotctld_connection.h"

namespace rotbridge {

using Clock = std::chrono::steady_clock;

struct DriverTimes {
    Clock::duration movingPoll = std::chrono::milliseconds(250);  // four reports a second
    Clock::duration idlePoll = std::chrono::seconds(1);  // notices turns from elsewhere, losses
    Clock::duration retry = std::chrono::seconds(1);     // between attempts to reach rotctld
    Clock::duration settle = std::chrono::seconds(1);  // unchanged this long: the rotator is still
    Clock::duration startGrace = std::chrono::seconds(3);  // a rotator may be this slow to start
    Clock::duration keepTurn = std::chrono::seconds(30);   // an undeliverable turn is then dropped
};

// What the driver knows of rotctld and the rotator, as the bridge's window shows it.
struct DriverStatus {
    bool connected = false;
    std::string problem;         // why rotctld cannot be reached, while it cannot
    std::string model;           // as rotctld names it, "Hamlib Dummy"; empty when it does not say
    std::optional<int> azimuth;  // as last published, whole degrees
    std::optional<double> turningTo;  // the heading of the turn under way or waiting

    bool operator==(const DriverStatus&) const = default;
};

// Where the driver's results go; called on the driver's thread.
class DriverOutput {
  public:
    virtual ~DriverOutput() = default;
    virtual void Say(const std::string& line) = 0;        // one line of the bridge's output
    virtual void Publish(const std::string& report) = 0;  // a new value of the rotator's item
    virtual void Status(const DriverStatus& status) = 0;  // whenever it changes
};

class RotatorDriver {
  public:
    // `where` names rotctld in messages, e.g. "127.0.0.1:4533".
    RotatorDriver(RotctldConnection& connection, DriverOutput& output, std::string where,
                  DriverTimes times = {});

    // "GA:" from Vantro32, with the heading text as it came.
    void Turn(const std::string& heading, Clock::time_point now);
    // "RA:" from Vantro32: the azimuth is published at the next poll, changed or not.
    void Query(Clock::time_point now);
    // Does what is due; returns the time it wants to be called again.
    Clock::time_point Step(Clock::time_point now);
    void Stop() { connection_.Close(); }

  private:
    struct Turning {
        std::string text;  // the heading as Vantro32 sent it
        double heading = 0;
        double target = 0;  // the azimuth sent to rotctld
        Clock::time_point since;
        bool resumed = false;  // interrupted by a lost connection, to be sent again
    };

    bool Connect(Clock::time_point now);
    void LinkLost(Clock::time_point now, const std::string& detail);
    void SendPending(Clock::time_point now);
    void Poll(Clock::time_point now);
    void FinishTurn(Clock::time_point now, double azimuth, bool moved);
    void DropStalePending(Clock::time_point now);
    std::string RangeText() const;
    void ShowStatus();

    RotctldConnection& connection_;
    RotctldClient client_;
    DriverOutput& output_;
    std::string where_;
    DriverTimes times_;

    bool up_ = false;
    bool everUp_ = false;
    bool downSaid_ = false;  // later failed attempts stay quiet until the next connection
    Clock::time_point nextAttempt_{};
    AzimuthRange range_;
    std::string model_;
    std::string problem_;
    std::optional<DriverStatus> statusShown_;

    std::optional<Turning> pending_;  // to be sent
    std::optional<Turning> turn_;     // sent, the rotator not yet still
    Clock::time_point nextPoll_{};
    Clock::time_point lastMotion_{};
    std::optional<double> lastPosition_;
    std::optional<int> lastPublished_;
    bool queryWanted_ = false;
    bool pollRefusalSaid_ = false;
};

}  // namespace rotbridge
