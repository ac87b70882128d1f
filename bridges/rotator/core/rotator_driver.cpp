#include "bridges/rotator/core/rotator_driver.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

#include "bridges/rotator/core/rotctld_protocol.h"

namespace rotbridge {

namespace {
// Readings closer than this are the same position: rotctld prints two decimals.
constexpr double kSamePosition = 0.05;
// A turn has arrived within a degree: many rotators read out whole degrees.
constexpr double kArrived = 1.0;

std::string Command(const std::string& heading) {
    return "GA:" + base::ShownText(heading);
}
}  // namespace

RotatorDriver::RotatorDriver(RotctldConnection& connection, DriverOutput& output, std::string where,
                             DriverTimes times)
    : connection_(connection),
      client_(connection),
      output_(output),
      where_(std::move(where)),
      times_(times) {}

std::string RotatorDriver::RangeText() const {
    return DegreesText(range_.min) + ".." + DegreesText(range_.max);
}

void RotatorDriver::Turn(const std::string& heading, Clock::time_point now) {
    const auto value = HeadingValue(heading);
    if (!value) {
        output_.Say("refused " + Command(heading) + ": the heading is not a number; not sent");
        return;
    }
    if (pending_ && pending_->resumed) {
        output_.Say("the interrupted turn to " + Command(pending_->text) + " is replaced by " +
                    Command(heading));
    } else if (pending_) {
        output_.Say(Command(pending_->text) + " was never sent: replaced by " + Command(heading));
    }
    pending_ = Turning{heading, *value, 0.0, now, false};
    if (!up_)
        output_.Say("rotctld is not connected: " + Command(heading) +
                    " will be sent when it is back (kept for " +
                    base::SecondsText(times_.keepTurn) + ")");
    ShowStatus();
}

void RotatorDriver::Query(Clock::time_point now) {
    queryWanted_ = true;
    if (up_) {
        nextPoll_ = now;
    } else {
        output_.Say("rotctld is not connected: RA: will be answered when it is back");
    }
}

Clock::time_point RotatorDriver::Step(Clock::time_point now) {
    if (!up_) {
        DropStalePending(now);
        if (now < nextAttempt_ || !Connect(now)) {
            if (now >= nextAttempt_) nextAttempt_ = now + times_.retry;
            ShowStatus();
            return nextAttempt_;
        }
    }
    if (pending_) SendPending(now);
    if (up_ && now >= nextPoll_) Poll(now);
    ShowStatus();
    return up_ ? nextPoll_ : nextAttempt_;
}

void RotatorDriver::ShowStatus() {
    DriverStatus status;
    status.connected = up_;
    status.problem = up_ ? std::string() : problem_;
    status.model = model_;
    status.azimuth = lastPublished_;
    if (turn_) status.turningTo = turn_->heading;
    if (pending_) status.turningTo = pending_->heading;
    if (status == statusShown_) return;
    statusShown_ = status;
    output_.Status(status);
}

bool RotatorDriver::Connect(Clock::time_point now) {
    const auto failed = [&](const std::string& detail) {
        connection_.Close();
        problem_ = detail;
        if (!downSaid_)
            output_.Say("cannot reach rotctld at " + where_ + " (" + detail +
                        "); trying again every " + base::SecondsText(times_.retry));
        downSaid_ = true;
        return false;
    };
    if (!connection_.Open()) return failed(connection_.LastError());
    AzimuthRange range;
    const Outcome asked = client_.GetRange(range);
    if (asked.kind == Outcome::Kind::LinkFailed) return failed(asked.detail);
    range_ = asked.Done() ? range : AzimuthRange{};
    std::string model;
    const Outcome named = client_.GetModel(model);
    if (named.kind == Outcome::Kind::LinkFailed) return failed(named.detail);
    model_ = named.Done() ? model : std::string();
    up_ = true;
    output_.Say(std::string(everUp_ ? "reconnected" : "connected") + " to rotctld at " + where_ +
                (model_.empty() ? "" : " (" + model_ + ")") + ", azimuth range " + RangeText());
    if (!asked.Done())
        output_.Say("rotctld did not give its azimuth range (" + asked.detail + "); using " +
                    RangeText());
    everUp_ = true;
    downSaid_ = false;
    pollRefusalSaid_ = false;
    // Whatever Vantro32 shows may be stale now: publish the position afresh.
    queryWanted_ = true;
    lastPosition_.reset();
    nextPoll_ = now;
    return true;
}

void RotatorDriver::LinkLost(Clock::time_point now, const std::string& detail) {
    connection_.Close();
    up_ = false;
    downSaid_ = true;
    problem_ = detail;
    nextAttempt_ = now;
    output_.Say("lost rotctld at " + where_ + " (" + detail + "); reconnecting");
    if (turn_ && !pending_) {
        pending_ = *turn_;
        pending_->resumed = true;
        pending_->since = now;
        output_.Say("the turn to " + Command(turn_->text) +
                    " was interrupted; it is sent again when rotctld is back");
    }
    turn_.reset();
}

void RotatorDriver::DropStalePending(Clock::time_point now) {
    if (!pending_ || now - pending_->since < times_.keepTurn) return;
    output_.Say(Command(pending_->text) + " dropped: rotctld at " + where_ +
                " was unreachable for " + base::SecondsText(times_.keepTurn) +
                "; the rotator was not turned");
    pending_.reset();
}

void RotatorDriver::SendPending(Clock::time_point now) {
    Turning turn = *pending_;
    const auto target = AzimuthForHeading(turn.heading, range_);
    if (!target) {
        output_.Say("refused " + Command(turn.text) + ": " + DegreesText(turn.heading) +
                    " is outside the rotator's range " + RangeText() + "; not sent");
        pending_.reset();
        return;
    }
    const Outcome sent = client_.SetPosition(*target);
    const std::string command = SetPositionCommand(*target);
    switch (sent.kind) {
        case Outcome::Kind::LinkFailed:
            LinkLost(now, sent.detail);  // the turn stays pending
            return;
        case Outcome::Kind::Refused:
            output_.Say("rotctld refused " + command + " for " + Command(turn.text) + ": " +
                        sent.detail);
            pending_.reset();
            return;
        case Outcome::Kind::Done:
            break;
    }
    output_.Say(std::string(turn.resumed ? "sent again " : "sent ") + Command(turn.text) + " as " +
                command);
    pending_.reset();
    turn.target = *target;
    turn.since = now;
    turn_ = turn;
    nextPoll_ = now + times_.movingPoll;
}

void RotatorDriver::Poll(Clock::time_point now) {
    double azimuth = 0;
    const Outcome read = client_.GetPosition(azimuth);
    if (read.kind == Outcome::Kind::LinkFailed) {
        LinkLost(now, read.detail);
        return;
    }
    if (read.kind == Outcome::Kind::Refused) {
        if (!pollRefusalSaid_) output_.Say("rotctld cannot read the position: " + read.detail);
        pollRefusalSaid_ = true;
        nextPoll_ = now + times_.idlePoll;
        return;
    }
    const bool moved = lastPosition_ && std::abs(azimuth - *lastPosition_) > kSamePosition;
    if (moved) lastMotion_ = now;
    lastPosition_ = azimuth;

    const int whole = WholeDegrees(azimuth);
    if (queryWanted_ || whole != lastPublished_) {
        output_.Publish(ReportText(azimuth));
        lastPublished_ = whole;
        queryWanted_ = false;
    }
    if (turn_) FinishTurn(now, azimuth, moved);
    const bool moving = turn_ || now - lastMotion_ < times_.settle;
    nextPoll_ = now + (moving ? times_.movingPoll : times_.idlePoll);
}

void RotatorDriver::FinishTurn(Clock::time_point now, double azimuth, bool moved) {
    const bool arrived = std::abs(azimuth - turn_->target) <= kArrived;
    const Clock::time_point quietSince = std::max(turn_->since, lastMotion_);
    if (arrived && !moved) {
        output_.Say(Command(turn_->text) + " done: the rotator is at " + DegreesText(azimuth));
    } else if (!arrived && now - quietSince >= times_.startGrace) {
        output_.Say("the rotator stopped at " + DegreesText(azimuth) + " short of " +
                    Command(turn_->text) + " (" + DegreesText(turn_->target) + ")");
    } else {
        return;
    }
    turn_.reset();
}

}  // namespace rotbridge
