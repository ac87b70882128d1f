#pragma once
// A spot as the host program publishes it on its spot item: eight fields separated by the byte
// 0xFF, ended by CR LF.
//   1 spotter   2 DX call   3 frequency in kHz as received   4 "0"   5 time HHMM
//   6 heading in whole degrees   7 distance in whole units   8 units: "0" km, "1" miles
#include <string>
#include <string_view>

namespace cluster {

struct HostSpot {
    std::string_view spotter;
    std::string_view dxCall;
    std::string_view frequency;
    std::string_view time;
    int heading = 0;
    long distance = 0;
    bool miles = false;
};

// The separator, CR and LF never reach a field: they are left out of the texts.
std::string HostSpotLine(const HostSpot& spot);

}  // namespace cluster
