// The whole job with the substitute peers, each a process of its own: the host simulator's spots
// are listed, a double-click on a station turns the rotator simulator, and labAz and the compass
// follow it to the heading.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "harness.h"
#include "panel_view.h"
#include "tests/dde/peer_process.h"

namespace {

// A spot line as the host sends it: fields split by the byte 255, ended by CR LF.
std::string Spot(const std::string& call, const std::string& kHz, const std::string& heading,
                 const std::string& km) {
    const std::string fields[] = {"G4XYZ", call, kHz, "0", "1200Z", heading, km, "0"};
    std::string line;
    for (const std::string& field : fields) line += field + '\xFF';
    line.pop_back();
    return line + "\r\n";
}

// The simulators' programs, from the tests' folder BUILD/e2e.
constexpr char kHostSim[] = "..\\tools\\host_sim\\host_sim.exe";
constexpr char kRotatorSim[] = "..\\tools\\rotator_sim\\rotator_sim.exe";
constexpr char kHostReady[] = "offering WENDRA|WENDATA!labDxSpot";
constexpr char kRotatorReady[] = "offering ARSWIN|RCI!AZIMUTH";

// A feed file for the host simulator, removed with it.
class FeedFile {
  public:
    explicit FeedFile(const std::string& text) {
        char folder[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, folder);
        path_ =
            std::string(folder) + "vantro32-feed-" + std::to_string(GetCurrentProcessId()) + ".txt";
        std::ofstream(path_, std::ios::binary) << text;
    }
    ~FeedFile() { DeleteFileA(path_.c_str()); }
    FeedFile(const FeedFile&) = delete;
    FeedFile& operator=(const FeedFile&) = delete;
    const std::string& Path() const { return path_; }

  private:
    std::string path_;
};

// The azimuths the rotator simulator published, in order.
std::vector<int> Published(const std::vector<std::string>& reports) {
    std::vector<int> azimuths;
    for (const std::string& line : reports)
        if (line.starts_with("send RA:")) azimuths.push_back(std::atoi(line.c_str() + 8));
    return azimuths;
}

TEST(JobTest, AListedStationDoubleClickedTurnsTheRotatorAndTheWindowFollowsIt) {
    const FeedFile feed(Spot("JA1ABC", "21074.0", "30", "8900") +
                        Spot("PY2XX", "14025.5", "250", "10211"));
    test::PeerProcess rotator(kRotatorSim, "--speed 60", kRotatorReady);
    test::PeerProcess host(kHostSim, "--interval 100 --once --file \"" + feed.Path() + "\"",
                           kHostReady);
    e2e::Program program;
    const HWND list = program.StationList();
    const HWND azimuth = e2e::AzimuthLabel(program);
    ASSERT_NE(azimuth, nullptr);

    // Both links up at once: no message, and the rotator was asked where it is.
    EXPECT_FALSE(program.WaitForMessageBox(500));
    ASSERT_TRUE(rotator.Reported("receive AZIMUTH RA:"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::TextOf(azimuth) == "0"; }));

    ASSERT_TRUE(e2e::WaitUntil([&] { return program.ListLines(list).size() == 2; }))
        << host.Reports().size() << " lines from the host";
    EXPECT_EQ(program.ListLines(list), (std::vector<std::string>{
                                           "JA1ABC       21074.0   30   8900",
                                           "PY2XX        14025.5  250  10211",
                                       }));

    program.DoubleClickLine(list, 1);
    ASSERT_TRUE(rotator.Reported("receive AZIMUTH GA:250"));
    // labAz follows the reports on the way, never going back, to the heading.
    std::vector<int> shown{0};
    ASSERT_TRUE(e2e::WaitUntil([&] {
        const int now = std::atoi(e2e::TextOf(azimuth).c_str());
        if (now != shown.back()) shown.push_back(now);
        return now == 250;
    })) << "labAz "
        << e2e::TextOf(azimuth);
    ASSERT_TRUE(rotator.Reported("stopped"));

    const std::vector<int> published = Published(rotator.Reports());
    ASSERT_GE(published.size(), 3u) << "the query's answer, some on the way and the end";
    EXPECT_EQ(published.back(), 250);
    for (std::size_t i = 1; i < shown.size(); ++i) {
        EXPECT_GT(shown[i], shown[i - 1]);
        EXPECT_NE(std::find(published.begin(), published.end(), shown[i]), published.end())
            << shown[i] << " was never published; " << testing::PrintToString(published);
    }
    EXPECT_GE(shown.size(), 3u) << "labAz showed no azimuth on the way";
    EXPECT_EQ(e2e::CompassView(program).WaitForPointer(250), "");
}

}  // namespace
