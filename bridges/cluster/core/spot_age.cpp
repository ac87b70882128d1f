#include "bridges/cluster/core/spot_age.h"

namespace cluster {

namespace {

constexpr int kDay = 24 * 60;

int MinuteOfDay(std::chrono::system_clock::time_point utc) {
    const auto minutes =
        std::chrono::duration_cast<std::chrono::minutes>(utc.time_since_epoch()).count();
    return static_cast<int>((minutes % kDay + kDay) % kDay);
}

}  // namespace

int SpotAgeMinutes(std::string_view hhmm, std::chrono::system_clock::time_point utcNow) {
    const int spot =
        ((hhmm[0] - '0') * 10 + (hhmm[1] - '0')) * 60 + (hhmm[2] - '0') * 10 + (hhmm[3] - '0');
    return ((MinuteOfDay(utcNow) - spot) % kDay + kDay + kDay / 2) % kDay - kDay / 2;
}

std::string UtcTimeText(std::chrono::system_clock::time_point utc) {
    const int minute = MinuteOfDay(utc);
    return {char('0' + minute / 600), char('0' + minute / 60 % 10), char('0' + minute % 60 / 10),
            char('0' + minute % 10), 'Z'};
}

}  // namespace cluster
