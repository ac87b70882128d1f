#include "bridges/cluster/core/spot_age.h"

namespace cluster {

int SpotAgeMinutes(std::string_view hhmm, std::chrono::system_clock::time_point utcNow) {
    constexpr int kDay = 24 * 60;
    const int spot =
        ((hhmm[0] - '0') * 10 + (hhmm[1] - '0')) * 60 + (hhmm[2] - '0') * 10 + (hhmm[3] - '0');
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::minutes>(utcNow.time_since_epoch()).count();
    const int now = static_cast<int>(((sinceEpoch % kDay) + kDay) % kDay);
    return ((now - spot) % kDay + kDay + kDay / 2) % kDay - kDay / 2;
}

}  // namespace cluster
