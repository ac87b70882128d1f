#pragma once
// The substitute peers as processes of their own, for tests of the whole job: the host simulator
// publishing a feed the test writes, and the rotator simulator. What they report, a line for each
// thing they receive or send, is the tests' view of the far side of the links.
#include <cstddef>
#include <string>
#include <vector>

#include "tests/dde/peer_process.h"

namespace e2e {

// A spot line as the host sends it: eight fields split by the byte 255, ended by CR LF.
std::string SpotLine(const std::string& call, const std::string& kHz, const std::string& heading,
                     const std::string& km);
// The station list's line for such a spot, when each field fits its column.
std::string ListLine(const std::string& call, const std::string& kHz, const std::string& heading,
                     const std::string& km);

// A feed file in the temporary folder, removed with the object.
class FeedFile {
  public:
    explicit FeedFile(const std::string& text);
    ~FeedFile();
    FeedFile(const FeedFile&) = delete;
    FeedFile& operator=(const FeedFile&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// host_sim.exe publishing the feed; options as it takes them (--interval, --chunk, --once...).
// Starts offering its service before the constructor returns.
class HostSim : public test::PeerProcess {
  public:
    HostSim(const FeedFile& feed, const std::string& options);
    std::size_t UpdatesSent();
};

// rotator_sim.exe; options as it takes them (--speed, --refuse...).
class RotatorSim : public test::PeerProcess {
  public:
    explicit RotatorSim(const std::string& options);
    std::vector<std::string> Pokes();        // the texts poked to it, in order
    bool Received(const std::string& text);  // waits until it reports this text poked to it
    std::vector<int> Azimuths();             // the azimuths it published, in order
};

}  // namespace e2e
