#pragma once
// dde_peer (tests/dde) in a process of its own, playing the host or the rotator program under the
// names of base/dde_names.h: what it reports, a line for each thing that reaches it, is the tests'
// view of how the program's conversations begin and end at the far side.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "harness.h"
#include "tests/dde/hex.h"
#include "tests/dde/peer_process.h"

namespace e2e {

class DdePeerProcess : public test::PeerProcess {
  public:
    enum class Plays { Host, Rotator };

    explicit DdePeerProcess(Plays plays)
        : PeerProcess(
              "..\\dde\\dde_peer.exe",
              plays == Plays::Host
                  ? std::string(dde_names::host::kService) + " " + dde_names::host::kTopic
                  : std::string(dde_names::rotator::kService) + " " + dde_names::rotator::kTopic,
              "ready") {}

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
inline const std::string kHostHotLinkReport = std::string("advstart ") + dde_names::host::kItem;
inline const std::string kAzimuthQueryReport =
    std::string("poke ") + dde_names::rotator::kItem + " " + test::Hex("RA:");

}  // namespace e2e
