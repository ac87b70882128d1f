// The cluster library's locators, bearings and distances against Hamlib's locator2longlat() and
// qrb() over seeded random locators and pairs. Hamlib rounds in two places that the library does
// not copy, and the comparison leaves out exactly those pairs:
// - within about 0.081 degrees of the antipode (cosine of the arc below -0.999999) qrb() gives
//   180 degrees of arc and bearing 0; the library gives the real distance (up to 9 km less) and
//   the real bearing, which is still the short path there;
// - points closer than about 0.3 m (cosine of the arc above 0.999999999999999) count as one point
//   for qrb(), with bearing 0; the library gives the bearing.
// And qrb() gives a bearing that rounds up to 360 as 360, the library as 0: they count as equal.
#include <gtest/gtest.h>
#include <hamlib/rotator.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <random>
#include <string>

#include "bridges/cluster/core/great_circle.h"
#include "bridges/cluster/core/position.h"

namespace {

using cluster::Position;

constexpr double kDegree = M_PI / 180.0;

std::string RandomLocator(std::mt19937_64& random) {
    const std::size_t length = 4 + 2 * (random() % 3);
    const bool lower = random() % 2;
    std::string locator;
    const int ranges[] = {18, 10, 24, 10};
    for (std::size_t i = 0; i < length; ++i) {
        const int range = ranges[i / 2];
        const char first = range == 10 ? '0' : lower ? 'a' : 'A';
        locator.push_back(static_cast<char>(first + random() % range));
    }
    return locator;
}

double CosineOfArc(const Position& a, const Position& b) {
    return std::sin(a.latitude * kDegree) * std::sin(b.latitude * kDegree) +
           std::cos(a.latitude * kDegree) * std::cos(b.latitude * kDegree) *
               std::cos((b.longitude - a.longitude) * kDegree);
}

struct Agreement {
    int compared = 0;
    int left = 0;  // in one of Hamlib's rounded cases
    int bearingsEqual = 0;
    int bearingsOneApart = 0;
    double largestDistanceGap = 0.0;
};

double WrappedLongitude(double longitude) {
    return longitude > 180.0    ? longitude - 360.0
           : longitude < -180.0 ? longitude + 360.0
                                : longitude;
}

void Compare(const Position& a, const Position& b, Agreement& agreement) {
    double hamlibKm = 0.0;
    double hamlibBearing = 0.0;
    ASSERT_EQ(qrb(a.longitude, a.latitude, b.longitude, b.latitude, &hamlibKm, &hamlibBearing),
              RIG_OK);
    const double cosine = CosineOfArc(a, b);
    const cluster::Path path = cluster::ShortPath(a, b);
    if (cosine < -0.999999 || cosine > 0.999999999999999) {
        ++agreement.left;
        // Hamlib's 180 degrees near the antipode and 0 for nearly one point, less the real arc.
        EXPECT_LT(std::fabs(path.kilometres - hamlibKm), 9.1);
        return;
    }
    ++agreement.compared;
    // qrb() gives 360 where the bearing rounds up to it; the library gives 0.
    const int difference = std::abs(path.bearing - static_cast<int>(hamlibBearing)) % 360;
    const int gap = std::min(difference, 360 - difference);
    if (gap == 0) ++agreement.bearingsEqual;
    // One degree apart only where the bearing lies on a half degree, within rounding.
    if (gap == 1) ++agreement.bearingsOneApart;
    EXPECT_LE(gap, 1) << a.latitude << " " << a.longitude << " " << b.latitude << " "
                      << b.longitude;
    agreement.largestDistanceGap =
        std::max(agreement.largestDistanceGap, std::fabs(path.kilometres - hamlibKm));
}

TEST(ClusterHamlib, LocatorCentresAgreeWithLocator2longlat) {
    rig_set_debug(RIG_DEBUG_NONE);
    std::mt19937_64 random(2026);
    double largestGap = 0.0;
    for (int i = 0; i < 20000; ++i) {
        const std::string locator = RandomLocator(random);
        double longitude = 0.0;
        double latitude = 0.0;
        ASSERT_EQ(locator2longlat(&longitude, &latitude, locator.c_str()), RIG_OK) << locator;
        const auto centre = cluster::LocatorCentre(locator);
        ASSERT_TRUE(centre) << locator;
        largestGap = std::max({largestGap, std::fabs(centre->latitude - latitude),
                               std::fabs(centre->longitude - longitude)});
    }
    std::cout << "locators: 20000, largest difference " << largestGap << " degrees\n";
    EXPECT_LT(largestGap, 1e-9);
}

TEST(ClusterHamlib, BearingAndDistanceAgreeWithQrb) {
    rig_set_debug(RIG_DEBUG_NONE);
    std::mt19937_64 random(14);
    std::uniform_real_distribution<double> latitude(-90.0, 90.0);
    std::uniform_real_distribution<double> longitude(-180.0, 180.0);
    Agreement agreement;
    for (int i = 0; i < 50000; ++i) {
        const Position a{latitude(random), longitude(random)};
        const Position b{latitude(random), longitude(random)};
        Compare(a, b, agreement);
        // Near the station too, and near the antipode, where the rounding differs.
        const double step = std::ldexp(1.0, -static_cast<int>(random() % 20));
        Compare(a, {std::min(a.latitude + step, 90.0), WrappedLongitude(a.longitude + step / 2)},
                agreement);
        Compare(a, {std::min(-a.latitude + step, 90.0), WrappedLongitude(a.longitude + 180 - step)},
                agreement);
    }
    for (int i = 0; i < 20000; ++i) {
        const Position station = *cluster::LocatorCentre(RandomLocator(random));
        Compare(station, *cluster::LocatorCentre(RandomLocator(random)), agreement);
    }
    std::cout << "pairs: " << agreement.compared << " compared (" << agreement.left
              << " left out), bearing equal in " << agreement.bearingsEqual
              << ", one degree apart in " << agreement.bearingsOneApart
              << ", largest distance difference " << agreement.largestDistanceGap << " km\n";
    EXPECT_LE(agreement.bearingsOneApart, agreement.compared / 10000);
    EXPECT_LT(agreement.largestDistanceGap, 0.001);
}

}  // namespace
