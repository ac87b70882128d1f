#pragma once
// dde_peer (tests/dde) in a process of its own, playing the host (WENDRA|WENDATA) or the rotator
// program (ARSWIN|RCI): what it reports, a line for each thing that reaches it, is the tests'
// view of how the program's conversations begin and end at the far side.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness.h"
#include "tests/dde/hex.h"
#include "tests/dde/peer_process.h"

namespace e2e {

class DdePeerProcess : public test::PeerProcess {
  public:
    DdePeerProcess(const std::string& service, const std::string& topic)
        : PeerProcess("..\\dde\\dde_peer.exe", service + " " + topic, "ready") {}

    int Count(const std::string& report) {
        const std::vector<std::string> reports = Reports();
        return static_cast<int>(std::count(reports.begin(), reports.end(), report));
    }
    // Waits until the peer has reported the line `times` times in all.
    bool Saw(const std::string& report, int times, DWORD limitMs = kPatienceMs) {
        return WaitUntil([&] { return Count(report) >= times; }, limitMs);
    }
};

// What dde_peer reports when the program starts its hot link on the host, and asks the rotator
// program for the azimuth.
inline const std::string kHostHotLinkReport = "advstart labDxSpot";
inline const std::string kAzimuthQueryReport = "poke AZIMUTH " + test::Hex("RA:");

}  // namespace e2e
