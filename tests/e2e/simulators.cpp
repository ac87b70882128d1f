#include "simulators.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <fstream>

#include "base/dde_names.h"

namespace e2e {

namespace {
// From the tests' folder, BUILD/e2e.
constexpr char kHostSim[] = "..\\tools\\host_sim\\host_sim.exe";
constexpr char kRotatorSim[] = "..\\tools\\rotator_sim\\rotator_sim.exe";
// rotator_sim's report of a text poked to it, before the text.
const std::string kReceived = std::string("receive ") + dde_names::rotator::kItem + " ";

std::string Padded(const std::string& text, std::size_t width, bool left) {
    const std::string fill(text.size() < width ? width - text.size() : 0, ' ');
    return left ? text + fill : fill + text;
}

// The rest of each reported line that begins with the prefix.
std::vector<std::string> After(const std::vector<std::string>& reports, const std::string& prefix) {
    std::vector<std::string> rests;
    for (const std::string& line : reports)
        if (line.starts_with(prefix)) rests.push_back(line.substr(prefix.size()));
    return rests;
}
}  // namespace

std::string SpotLine(const std::string& call, const std::string& kHz, const std::string& heading,
                     const std::string& km) {
    const std::string fields[] = {"G4XYZ", call, kHz, "0", "1200Z", heading, km, "0"};
    std::string line;
    for (const std::string& field : fields) line += field + '\xFF';
    line.pop_back();
    return line + "\r\n";
}

std::string ListLine(const std::string& call, const std::string& kHz, const std::string& heading,
                     const std::string& km) {
    return Padded(call, 10, true) + Padded(kHz, 10, false) + Padded(heading, 5, false) +
           Padded(km, 7, false);
}

FeedFile::FeedFile(const std::string& text) {
    static std::atomic<int> made{0};
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    path_ = std::string(folder) + "vantro32-feed-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++made) + ".txt";
    std::ofstream(path_, std::ios::binary) << text;
}

FeedFile::~FeedFile() {
    DeleteFileA(path_.c_str());
}

HostSim::HostSim(const FeedFile& feed, const std::string& options)
    : PeerProcess(
          kHostSim, "--file \"" + feed.Path() + "\" " + options,
          "offering " + dde_names::ItemAddress(dde_names::host::kService, dde_names::host::kTopic,
                                               dde_names::host::kItem)) {}

std::size_t HostSim::UpdatesSent() {
    return After(Reports(), "send ").size();
}

RotatorSim::RotatorSim(const std::string& options)
    : PeerProcess(kRotatorSim, options,
                  "offering " + dde_names::ItemAddress(dde_names::rotator::kService,
                                                       dde_names::rotator::kTopic,
                                                       dde_names::rotator::kItem)) {}

std::vector<std::string> RotatorSim::Pokes() {
    return After(Reports(), kReceived);
}

bool RotatorSim::Received(const std::string& text) {
    return Reported(kReceived + text);
}

std::vector<int> RotatorSim::Azimuths() {
    std::vector<int> azimuths;
    for (const std::string& rest : After(Reports(), "send RA:"))
        azimuths.push_back(std::atoi(rest.c_str()));
    return azimuths;
}

}  // namespace e2e
