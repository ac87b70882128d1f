// The cluster bridge's core against transcripts of each family of node programs, as they send
// them: DXSpider 1.57 byte for byte as measured, the older DXSpider form, AR-Cluster, CC-Cluster
// with its double prompt, a skimmer server, an aggregator, the Reverse Beacon Network and a node
// without a prompt line. Each is fed in the pieces TCP may cut it into, at realistic pace, from the
// login to the spots on the host's item and the counts of those not published.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bridges/cluster/core/node_session.h"
#include "bridges/cluster/core/spot_relay.h"

namespace {

using namespace std::chrono_literals;
using cluster::Clock;
using cluster::SessionState;

// How the node's writes reach the bridge.
enum class Cut { Whole, ByteByByte, Random, Stalling };
const char* CutName(Cut cut) {
    switch (cut) {
        case Cut::Whole:
            return "whole";
        case Cut::ByteByByte:
            return "byte by byte";
        case Cut::Random:
            return "random pieces";
        case Cut::Stalling:
            break;
    }
    return "pieces with stalls";
}

// A node on the simulated clock: what it writes reaches Receive in pieces, at their time; it
// answers the lines the bridge sends as the test tells it to.
class ScriptedNode : public cluster::NodeConnection {
  public:
    explicit ScriptedNode(Cut cut, unsigned seed = 21) : cut_(cut), random_(seed) {}

    Clock::time_point now{};
    int opened = 0;
    bool open = false;
    std::string host;                // of the node connected to
    std::vector<std::string> heard;  // the bridge's lines, on every connection
    std::function<void(ScriptedNode&)> onConnect;
    std::function<void(ScriptedNode&, const std::string&)> onLine;

    // The node writes these bytes `after` from now; TCP may cut them anywhere.
    void Write(const std::string& bytes, Clock::duration after = 0ms) {
        Clock::time_point at = std::max(now + after, pending_.empty() ? now : pending_.back().at);
        for (std::size_t start = 0; start < bytes.size();) {
            std::size_t size = bytes.size();
            Clock::duration gap = 0ms;
            switch (cut_) {
                case Cut::Whole:
                    break;
                case Cut::ByteByByte:
                    size = 1;
                    break;
                case Cut::Random:
                    size = random_() % 9 + 1;
                    gap = std::chrono::milliseconds(random_() % 3);
                    break;
                case Cut::Stalling:
                    // A lost segment now and then: the rest comes after a retransmission.
                    size = random_() % 40 + 1;
                    gap = random_() % 30 == 0 ? 400ms : 1ms;
                    break;
            }
            pending_.push_back({at, bytes.substr(start, size), false});
            start += size;
            at += gap;
        }
    }
    void CloseAfterWrites(Clock::duration after = 0ms) {
        const Clock::time_point at = pending_.empty() ? now : pending_.back().at;
        pending_.push_back({std::max(at, now + after), "", true});
    }

    bool Open(const cluster::NodeAddress& node) override {
        host = node.host;
        open = true;
        ++opened;
        pending_.clear();
        partial_.clear();
        if (onConnect) onConnect(*this);
        return true;
    }
    void Close() override {
        open = false;
        pending_.clear();
    }
    bool Send(std::string_view bytes) override {
        if (!open) return false;
        // The refusals of telnet options (IAC and two bytes) are no text.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\xff') {
                i += 2;
            } else {
                partial_ += bytes[i];
            }
        }
        for (std::size_t end; (end = partial_.find("\r\n")) != std::string::npos;) {
            const std::string line = partial_.substr(0, end);
            partial_.erase(0, end + 2);
            heard.push_back(line);
            if (onLine) onLine(*this, line);
        }
        return true;
    }
    // As a socket does: what has come at once, else a wait of at most 100 ms.
    std::optional<std::string> Receive() override {
        if (!open) return std::nullopt;
        if (pending_.empty() || pending_.front().at > now) {
            const Clock::time_point limit = now + 100ms;
            now = pending_.empty() ? limit : std::min(limit, pending_.front().at);
            if (pending_.empty() || pending_.front().at > now) return std::string();
        }
        const Piece piece = pending_.front();
        pending_.pop_front();
        now += 1ms;
        if (piece.close) {
            open = false;
            return std::nullopt;
        }
        return piece.bytes;
    }
    std::string LastError() const override { return "closed by the node"; }

    int Count(const std::string& line) const {
        return static_cast<int>(std::count(heard.begin(), heard.end(), line));
    }

  private:
    struct Piece {
        Clock::time_point at;
        std::string bytes;
        bool close;
    };
    Cut cut_;
    std::mt19937 random_;
    std::deque<Piece> pending_;
    std::string partial_;
};

const cluster::CountryTable& Table() {
    static const cluster::CountryTable table =
        cluster::CountryTable::Load(cluster::CountryTable::kDebianPath);
    return table;
}

// The session and the relay joined as the bridge joins them, the host's item taken at once.
class Bridge : public cluster::SessionOutput {
  public:
    Bridge(ScriptedNode& node, cluster::Login login, std::chrono::sys_seconds utcStart,
           std::vector<cluster::NodeAddress> nodes = {{"node", "7300"}})
        : node_(node), relay_(Settings(), Table()) {
        session_.emplace(node, *this, std::move(nodes), std::move(login), cluster::SessionTimes{},
                         [utcStart](Clock::time_point now) {
                             return utcStart +
                                    std::chrono::duration_cast<std::chrono::system_clock::duration>(
                                        now - Clock::time_point{});
                         });
    }

    static const cluster::BridgeSettings& Settings() {
        static const cluster::BridgeSettings settings = [] {
            cluster::BridgeSettings s;
            s.station = cluster::StationPosition("JO62QM");
            s.duplicateWindow = 0ms;
            return s;
        }();
        return settings;
    }

    void RunFor(Clock::duration span) {
        const Clock::time_point until = node_.now + span;
        while (node_.now < until) {
            const Clock::time_point due = session_->Step(node_.now);
            if (due > node_.now) node_.now = std::min(due, until);
            while (auto out = relay_.Next(node_.now)) published.push_back(out->text);
        }
    }

    std::vector<std::string> said;
    std::vector<std::string> published;  // the console's words of each spot published
    SessionState state = SessionState::Connecting;
    const cluster::RelayCounts& Counts() const { return relay_.Counts(); }
    std::string Said() const {
        std::string all;
        for (const std::string& line : said) all += line + "\n";
        return all;
    }
    // The DX calls published, in their order.
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        for (const std::string& text : published) calls.push_back(text.substr(0, text.find(' ')));
        return calls;
    }

    void Say(const std::string& line) override { said.push_back(line); }
    void Status(const cluster::SessionStatus& status) override { state = status.state; }
    void LiveSpot(const cluster::Spot& spot) override { relay_.Receive(spot, node_.now); }
    void BacklogSpot() override { relay_.CountBacklog(); }
    void UnreadableSpot() override { relay_.CountUnreadable(); }

  private:
    ScriptedNode& node_;
    cluster::SpotRelay relay_;
    std::optional<cluster::NodeSession> session_;
};

// 7 Dec 2026, 16:12 UTC when the test starts.
constexpr std::chrono::sys_seconds kUtcStart =
    std::chrono::sys_days{std::chrono::December / 7 / 2026} + 16h + 12min;

// What a family sends: on connect, in answer to the call and to each command, and its spots.
struct Family {
    const char* name;
    std::string onConnect;
    Clock::duration answerDelay;
    std::string answer;                          // to the call
    std::map<std::string, std::string> replies;  // to a command ("" for an empty line)
    std::string afterLogin;                      // spots and other lines, a second after login
    std::vector<std::string> published;          // the DX calls that reach the host, in order
    std::uint64_t backlog = 0;                   // "DX de" lines old by their time, sh/dx lines
    std::uint64_t unreadable = 0;
};

std::vector<Family> Families() {
    const std::string prompt = "N0ABC de N0CALL-2  7-Dec-2026 1612Z dxspider >\r\n";
    const std::string dxSpiderGreeting =
        "Hello N0ABC, this is N0CALL-2 in Testville\r\nrunning DXSpider V1.57 build 441\r\n"
        "Capabilities: ve7cc rbn\r\nNodes: 0/1 Users [Loc/Clr]: 1/1 Max: 0/1 - Uptime:  13s\r\n"
        "Please enter your name, set/name <your name>\r\nPlease enter your QTH, set/qth <your "
        "qth>\r\nPlease enter your location with set/location or set/qra\r\nPlease enter your "
        "Home Node, set/homenode <your home DX Cluster>\r\n" +
        prompt;
    const std::map<std::string, std::string> dxSpiderReplies = {
        {"set/skimmer", "RBN/Skimming set to ALL MODES for N0ABC\r\n" + prompt},
        {"set/nobeep", "Beeps are now off\r\n" + prompt},
        {"", prompt}};
    // Skimmer spots in a burst, as a reverse beacon sends hundreds a minute.
    std::string rbn;
    std::vector<std::string> rbnCalls;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        rbnCalls.push_back(std::string("K1A") + letter);
        rbn += "DX de DL8LAS-#:  14025.0  " + rbnCalls.back() + "  CW 24 dB 25 WPM CQ  1612Z\r\n";
    }
    return {
        {"DXSpider 1.57",
         "login: ",
         200ms,
         dxSpiderGreeting,
         dxSpiderReplies,
         "DX de N1SPOT:    14025.0  JA1XYZ       cq test                        1612Z\a\a\r\n"
         "DX de G4ABC:     50313.0  SV1XYZ       KM18<ES>IO91 ft8               1612Z\a\a\r\n"
         "To ALL de G4ABC: Contest this weekend, reconnected as usual\a\a\r\n"
         "N0ABC de G4ABC: hello there\r\n"
         "  50313.0 SV1XYZ       7-Dec-2026 1612Z KM18<ES>IO91 ft8              <G4ABC>\r\n"
         "  14025.0 JA1XYZ       7-Dec-2026 1612Z cq test                      <N1SPOT>\r\n" +
             prompt +
             "DX de DL1ABC-#:   7012.0  K1ABC        CW 24 dB 25 WPM CQ             1612Z\a\a\r\n",
         {"JA1XYZ", "SV1XYZ", "K1ABC"},
         2,
         0},
        {"DXSpider 1.55",
         "login: ",
         200ms,
         dxSpiderGreeting,
         dxSpiderReplies,
         "DX de DL1ABC-2   14025.0  JA1XYZ       cq test                        1612Z\a\a\r\n"
         "DX de DL8LAS-#    7012.0  K1ABC        CW 24 dB 25 WPM CQ             1611Z\a\a\r\n"
         "DX de DL1ABC-210368100.0  G3XYZ        JO01<ES>JO62 cw                1612Z\a\a\r\n"
         "DX de G4ABC:     50313.0  SV1XYZ       KM18<ES>IO91 ft8               1612Z\a\a\r\n"
         "DX de G4ABC:     50313.0  SV1XYZ       KM18<ES>IO91 ft8               1552Z\a\a\r\n",
         {"JA1XYZ", "K1ABC", "G3XYZ", "SV1XYZ"},
         1,
         0},
        {"AR-Cluster",
         "\xff\xfb\x01\xff\xfd\x18\xff\xfb\x03"
         "AR-Cluster node K1XX-3 (AR-Cluster 6)\r\n\r\nPlease enter your call: ",
         300ms,
         "Welcome N0ABC to the K1XX-3 AR-Cluster node\r\nN0ABC de K1XX-3  7-Dec 1612Z arc >",
         {{"set/skimmer", "\r\nN0ABC de K1XX-3  7-Dec 1612Z arc >"}},
         "\r\nDX de W3LPL:     14025.0  JA1XYZ       cq                             1612Z FN20\r\n"
         "DX de K1TTT:      3799.0  VP8ABC       LSB                            1611Z MA\r\n"
         "DX de W3LPL: 14025.0 JA1XYZ\r\n",
         {"JA1XYZ", "VP8ABC"},
         0,
         1},
        {"CC-Cluster",
         "Welcome to the VE7CC-1 CC Cluster\r\nPlease enter your call: \r\n\r\nlogin: ",
         800ms,
         "Hello N0ABC, this is VE7CC-1 running CC Cluster\r\n"
         "DX de W3LPL:     14025.0  JA1OLD       cq                             1501Z\r\n"
         "N0ABC de VE7CC-1  7-Dec-2026 1612Z CCC >\r\n",
         {{"set/skimmer",
           "Skimmer spots on for N0ABC\r\nN0ABC de VE7CC-1  7-Dec-2026 1612Z CCC >\r\n"}},
         "DX de VE7CC-#:    7025.3  JA1XYZ       CW 10 dB 28 WPM CQ             1612Z\r\n",
         {"JA1XYZ"},
         1,
         0},
        {"CW Skimmer Server",
         "CW Skimmer Server\r\n\r\nPlease enter your callsign: ",
         100ms,
         "Hello N0ABC!\r\nSpots from 1 skimmer\r\n"
         "DX de N0ABC-#:   14025.0  JA1XYZ       CW 24 dB 25 WPM CQ             1612Z\r\n",
         {},
         "DX de N0ABC-#:    7012.0  K1ABC        CW 11 dB 22 WPM CQ             1612Z\r\n",
         {"JA1XYZ", "K1ABC"},
         0,
         0},
        {"skimmer aggregator",
         "callsign:",
         100ms,
         "DX de W3LPL-#:   7012.0  K1ABC  CW 9 dB 22 WPM CQ  1612Z\r\n",
         {},
         "",
         {"K1ABC"},
         0,
         0},
        {"Reverse Beacon Network",
         "Please enter your call: ",
         100ms,
         "\r\n\r\nHello N0ABC, welcome to the RBN telnet server\r\n",
         {},
         rbn,
         rbnCalls,
         0,
         0},
        {"node without a prompt line",
         "Your call: ",
         100ms,
         "Hello N0ABC\r\nThis node has no prompt line\r\n",
         {},
         "DX de W3LPL:     14025.0  JA1XYZ       cq                             1612Z\r\n",
         {"JA1XYZ"},
         0,
         0},
    };
}

TEST(ClusterNodeFamilies, EachFamilyLogsInOnceAndEveryDxDeLineIsPublishedOrCounted) {
    for (const Family& family : Families()) {
        for (const Cut cut : {Cut::Whole, Cut::ByteByByte, Cut::Random, Cut::Stalling}) {
            SCOPED_TRACE(std::string(family.name) + ", " + CutName(cut));
            ScriptedNode node(cut);
            bool loggedIn = false;
            node.onConnect = [&](ScriptedNode& n) { n.Write(family.onConnect); };
            node.onLine = [&](ScriptedNode& n, const std::string& line) {
                if (!loggedIn) {
                    loggedIn = true;
                    n.Write(family.answer, family.answerDelay);
                    n.Write(family.afterLogin, family.answerDelay + 1s);
                } else if (const auto reply = family.replies.find(line);
                           reply != family.replies.end()) {
                    n.Write(reply->second, 50ms);
                }
            };
            Bridge bridge(node, {"N0ABC", "", {"set/skimmer", "set/nobeep"}}, kUtcStart);
            bridge.RunFor(25s);
            EXPECT_EQ(node.opened, 1) << bridge.Said();
            EXPECT_EQ(node.Count("N0ABC"), 1) << bridge.Said();
            EXPECT_EQ(node.Count("set/skimmer"), 1) << bridge.Said();
            EXPECT_EQ(bridge.state, SessionState::Online) << bridge.Said();
            EXPECT_EQ(bridge.Calls(), family.published) << bridge.Said();
            const cluster::RelayCounts& counts = bridge.Counts();
            EXPECT_EQ(counts.received, family.published.size()) << cluster::CountsText(counts);
            EXPECT_EQ(counts.backlog, family.backlog) << cluster::CountsText(counts);
            EXPECT_EQ(counts.unreadable, family.unreadable) << cluster::CountsText(counts);
        }
    }
}

// Backup nodes as a station meets them, and on the one that works, what its users type and how
// TCP delivers it: none of it costs a spot, steers the login or keeps the bridge away.
TEST(ClusterNodeFamilies, ARefusingAndASilentNodeAreLeftAndUsersTextNeverSteersTheSession) {
    const std::string prompt = "N0ABC de N0CALL-2  7-Dec-2026 1612Z dxspider >\r\n";
    ScriptedNode node(Cut::Whole);
    node.onConnect = [&](ScriptedNode& n) {
        if (n.host != "b") n.Write("login: ");  // b takes the connection and says nothing
    };
    node.onLine = [&](ScriptedNode& n, const std::string& line) {
        if (n.host == "a") {
            n.Write("Sorry N0ABC is not allowed on this node\r\n", 100ms);
            n.CloseAfterWrites();
        } else if (n.host == "c" && line == "N0ABC") {
            n.Write(prompt, 100ms);
        } else if (line == "set/skimmer") {
            // A user's talk that looks like the node's prompt comes before the node's answer.
            n.Write("N0ABC de G4ABC: " + prompt, 100ms);
            n.Write("RBN/Skimming set to ALL MODES for N0ABC\r\n" + prompt, 3s);
        }
    };
    Bridge bridge(node, {"N0ABC", "", {"set/skimmer", "set/nobeep"}}, kUtcStart,
                  {{"a", "7300"}, {"b", "7300"}, {"c", "7300"}});
    while ((node.opened < 3 || node.Count("set/skimmer") == 0) &&
           node.now < Clock::time_point{} + 40s)
        bridge.RunFor(100ms);
    EXPECT_EQ(node.Count("set/skimmer"), 1) << "logged in to c within 40 s\n" << bridge.Said();
    EXPECT_EQ(bridge.Said().find("logged in to b"), std::string::npos) << bridge.Said();
    bridge.RunFor(2s);
    EXPECT_EQ(node.Count("set/nobeep"), 0) << "sent after the node's answer, not the user's";
    bridge.RunFor(2s);
    EXPECT_EQ(node.Count("set/nobeep"), 1);

    // A VHF spot whose segment after "<ES>" is lost and sent again, and a weather bulletin
    // that says what a node says when it gives the call away, before the node shuts down.
    node.Write("DX de G4ABC:     50313.0  SV1XYZ       KM18<ES>");
    node.Write("IO91 ft8               1612Z\a\a\r\n", 400ms);
    node.Write("WX de G4ABC: N0ABC already connected at the club, sunny\a\a\r\n", 500ms);
    node.CloseAfterWrites(600ms);
    bridge.RunFor(5s);
    EXPECT_EQ(bridge.Calls(), std::vector<std::string>{"SV1XYZ"}) << bridge.Said();
    EXPECT_EQ(bridge.Counts().unreadable, 0u);
    EXPECT_EQ(node.opened, 4) << "a node lost after a login is tried again soon\n" << bridge.Said();
    EXPECT_EQ(node.host, "c");
    EXPECT_EQ(bridge.Said().find("logged in elsewhere"), std::string::npos) << bridge.Said();
}

}  // namespace
