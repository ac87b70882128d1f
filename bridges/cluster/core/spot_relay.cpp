#include "bridges/cluster/core/spot_relay.h"

#include <algorithm>
#include <cmath>

#include "base/rounding.h"
#include "base/text.h"
#include "bridges/cluster/core/band_plan.h"
#include "bridges/cluster/core/host_spot_line.h"
#include "bridges/cluster/core/spot_path.h"

namespace cluster {

namespace {

// The same call on the same band: the call in upper case without its SSID; off the bands, the
// whole MHz stands for the band.
std::string DuplicateKey(const Spot& spot) {
    std::string key = base::Upper(spot.dxCall.substr(0, spot.dxCall.find('-')));
    const Band* band = BandOf(spot.frequencyKhz);
    key += ' ';
    key += band ? std::string(band->name)
                : std::to_string(static_cast<long long>(spot.frequencyKhz / 1000)) + " MHz";
    return key;
}

}  // namespace

std::string CountsText(const RelayCounts& c) {
    return "received " + std::to_string(c.received) + ", published " + std::to_string(c.published) +
           ", filtered " + std::to_string(c.filtered) + ", duplicates " +
           std::to_string(c.duplicates) + ", too old " + std::to_string(c.tooOld) +
           ", no country " + std::to_string(c.noCountry) + ", backlog " +
           std::to_string(c.backlog) + ", unreadable " + std::to_string(c.unreadable);
}

SpotRelay::SpotRelay(const BridgeSettings& settings, const CountryTable& table)
    : settings_(settings),
      table_(table),
      recent_(settings.duplicateWindow),
      capacity_(std::max<std::size_t>(1, settings.maxAge / kPublishInterval)) {}

bool SpotRelay::Filtered(const Spot& spot, const CallLookup& dx) const {
    if (spot.skimmer && !settings_.skimmer) return true;
    if (!settings_.spotterContinents.empty()) {
        const std::optional<CallCountry> spotter = LookUpCall(table_, spot.spotter).where;
        if (!spotter || !settings_.spotterContinents.contains(spotter->continent)) return true;
    }
    if (!settings_.bands.empty()) {
        const Band* band = BandOf(spot.frequencyKhz);
        if (!band || !settings_.bands.contains(std::string(band->name))) return true;
    }
    if (!settings_.modes.empty()) {
        const std::optional<Mode> mode =
            ModeOf(spot, dx.where ? RegionOf(*dx.where) : IaruRegion::One);
        if (!mode || !settings_.modes.contains(*mode)) return true;
    }
    return false;
}

void SpotRelay::Receive(const Spot& spot, Clock::time_point now) {
    ++counts_.received;
    const CallLookup dx = LookUpCall(table_, spot.dxCall);
    if (Filtered(spot, dx)) {
        ++counts_.filtered;
        return;
    }
    const std::optional<SpotPath> path = PathToSpot(spot, dx, table_, settings_.station);
    if (!path) {
        ++counts_.noCountry;
        return;
    }
    std::string key = DuplicateKey(spot);
    if (recent_.Duplicate(key, now)) {
        ++counts_.duplicates;
        return;
    }
    const bool miles = settings_.units == Units::Miles;
    const double distance = miles ? path->path.StatuteMiles() : path->path.kilometres;
    const long whole = static_cast<long>(base::RoundHalfAway(distance));
    Outgoing out;
    out.hostLine = HostSpotLine({spot.spotter, spot.dxCall, spot.frequencyText, spot.time,
                                 path->path.bearing, whole, miles});
    out.text =
        spot.dxCall + " " + spot.frequencyText + " " + spot.time + "Z de " + spot.spotter + ": " +
        std::to_string(path->path.bearing) + " deg, " + std::to_string(whole) +
        (miles ? " mi" : " km") +
        (path->source == DxPositionSource::CommentLocator ? " (locator in the comment)" : "");
    if (queue_.size() >= capacity_) LetGoOldest();
    queue_.push_back({std::move(out), std::move(key), now});
}

void SpotRelay::LetGoOldest() {
    recent_.Forget(queue_.front().key, queue_.front().received);
    queue_.pop_front();
    ++counts_.tooOld;
}

void SpotRelay::LetGoStale(Clock::time_point now) {
    while (!queue_.empty() && now - queue_.front().received > settings_.maxAge) LetGoOldest();
}

std::optional<Outgoing> SpotRelay::Next(Clock::time_point now) {
    LetGoStale(now);
    if (queue_.empty() || (lastPublished_ && now - *lastPublished_ < kPublishInterval))
        return std::nullopt;
    Outgoing out = std::move(queue_.front().out);
    queue_.pop_front();
    lastPublished_ = now;
    ++counts_.published;
    return out;
}

}  // namespace cluster
