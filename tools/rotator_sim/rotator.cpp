#include "tools/rotator_sim/rotator.h"
#include "base/rounding.h"

#include <algorithm>
#include <cmath>

namespace tools {

namespace {
double Normalised(double degrees) {
    const double turned = std::fmod(degrees, 360.0);
    return turned < 0 ? turned + 360.0 : turned;
}
}  // namespace

Rotator::Rotator(double azimuth, double degreesPerSecond)
    : azimuth_(Normalised(azimuth)), target_(azimuth_), speed_(std::abs(degreesPerSecond)) {}

void Rotator::TurnTo(double heading) {
    target_ = Normalised(heading);
}

void Rotator::Advance(double seconds) {
    const double step = speed_ * std::max(seconds, 0.0);
    azimuth_ = azimuth_ < target_ ? std::min(azimuth_ + step, target_)
                                  : std::max(azimuth_ - step, target_);
}

int Rotator::Azimuth() const {
    return static_cast<int>(base::RoundHalfAway(azimuth_)) % 360;
}

}  // namespace tools
