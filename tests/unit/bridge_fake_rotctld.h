#pragma once
// A stand-in for rotctld with its dummy rotator, on the test's clock: it turns at 6 degrees a
// second towards the last position set, answers as rotctld does, and can be killed and restarted.
#include <algorithm>
#include <cstdio>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "bridges/rotator/core/rotator_driver.h"

namespace bridge_test {

using rotbridge::Clock;

class FakeRotctld : public rotbridge::RotctldConnection {
  public:
    Clock::time_point now{};
    double speed = 6.0;
    rotbridge::AzimuthRange range{-180.0, 450.0};
    bool tellsRange = true;
    bool refusesSet = false;
    bool answersGarbage = false;
    std::vector<std::string> received;  // every command, in order

    bool Open() override {
        replies_.clear();
        open_ = running_;
        if (!open_) error_ = "connection refused";
        return open_;
    }
    void Close() override {
        open_ = false;
        replies_.clear();
    }
    bool SendLine(const std::string& line) override {
        if (!open_) {
            error_ = "connection reset";
            return false;
        }
        received.push_back(line);
        Answer(line);
        return true;
    }
    std::optional<std::string> ReadLine() override {
        if (!open_ || replies_.empty()) {
            error_ = "no answer in time";
            return std::nullopt;
        }
        std::string line = replies_.front();
        replies_.pop_front();
        return line;
    }
    std::string LastError() const override { return error_; }

    void Kill() {
        Move();
        running_ = false;
        open_ = false;
    }
    // A new rotctld: its dummy rotator starts at 0.
    void Restart() {
        running_ = true;
        position_ = target_ = 0.0;
        moved_ = now;
    }
    // Another client turns the rotator.
    void TurnFromElsewhere(double target) {
        Move();
        target_ = target;
    }
    void SetPosition(double azimuth) { position_ = target_ = azimuth, moved_ = now; }
    double Position() {
        Move();
        return position_;
    }
    int SetCommands() const {
        return static_cast<int>(std::count_if(received.begin(), received.end(),
                                              [](const std::string& l) { return l[0] == 'P'; }));
    }

  private:
    void Move() {
        const double seconds = std::chrono::duration<double>(now - moved_).count();
        moved_ = now;
        const double step = std::min(speed * seconds, std::abs(target_ - position_));
        position_ += target_ > position_ ? step : -step;
    }

    void Answer(const std::string& line) {
        Move();
        if (answersGarbage) {
            replies_.push_back("Caps dump for model: 1");
            return;
        }
        std::istringstream in(line);
        std::string command;
        in >> command;
        if (command == "P") {
            double az = 0;
            double el = 0;
            const bool ok = static_cast<bool>(in >> az >> el);
            if (!ok || refusesSet || az < range.min || az > range.max) {
                replies_.push_back("RPRT -1");
                return;
            }
            target_ = az;
            replies_.push_back("RPRT 0");
        } else if (command == "p") {
            char text[32];
            std::snprintf(text, sizeof text, "%.2f", position_);
            replies_.push_back(text);
            replies_.push_back("0.00");
        } else if (command == "+\\dump_state" && tellsRange) {
            replies_.insert(replies_.end(),
                            {"dump_state:", "rotctld Protocol Ver: 1", "Rotor Model: 1",
                             "Minimum Azimuth: " + std::to_string(range.min),
                             "Maximum Azimuth: " + std::to_string(range.max),
                             "Minimum Elevation: 0.000000", "done", "RPRT 0"});
        } else if (command == "+\\dump_caps") {
            replies_.insert(replies_.end(),
                            {"dump_caps:", "Caps dump for model:\t1", "Model name:\t\tDummy",
                             "Mfg name:\t\tHamlib", "Rot type:\t\tAz-El", "RPRT 0"});
        } else {
            replies_.push_back("RPRT -4");
        }
    }

    bool running_ = true;
    bool open_ = false;
    std::string error_;
    std::deque<std::string> replies_;
    double position_ = 0.0;
    double target_ = 0.0;
    Clock::time_point moved_{};
};

}  // namespace bridge_test
