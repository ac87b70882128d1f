// Arbitrary bytes from a cluster node, in arbitrary pieces and at arbitrary times, through the
// bridge's node session and its relay. Whatever comes, every line published is the host's spot
// line (eight fields, seven separators, CR LF only at its end), the queue stays within its
// capacity, every spot received is accounted for, and the bridge sends the node nothing but its
// call, its password, its login commands, empty lines, telnet refusals and "bye".
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>

#include "bridges/cluster/core/node_session.h"
#include "bridges/cluster/core/spot_relay.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "cluster_session_fuzz: %s\n", what);
    std::abort();
}

class Node : public cluster::NodeConnection {
  public:
    std::deque<std::string> pieces;
    std::string sent;
    bool open = false;

    bool Open(const cluster::NodeAddress&) override { return open = true; }
    void Close() override { open = false; }
    bool Send(std::string_view bytes) override {
        sent += bytes;
        return open;
    }
    std::optional<std::string> Receive() override {
        if (pieces.empty()) return std::string();
        std::string piece = std::move(pieces.front());
        pieces.pop_front();
        if (piece == "\x04") return std::nullopt;  // the node closes the connection
        return piece;
    }
    std::string LastError() const override { return "closed"; }
};

const cluster::CountryTable& Table() {
    static const cluster::CountryTable table =
        cluster::CountryTable::Load(cluster::CountryTable::kDebianPath);
    return table;
}

class Relay : public cluster::SessionOutput {
  public:
    explicit Relay(const cluster::BridgeSettings& settings) : relay(settings, Table()) {}
    void Say(const std::string&) override {}
    void Status(const cluster::SessionStatus&) override {}
    void LiveSpot(const cluster::Spot& spot) override { relay.Receive(spot, now); }
    void BacklogSpot() override { relay.CountBacklog(); }
    void UnreadableSpot() override { relay.CountUnreadable(); }

    cluster::SpotRelay relay;
    cluster::Clock::time_point now{};
};

void CheckSent(const std::string& sent) {
    std::string rest = sent;
    while (!rest.empty()) {
        if (rest[0] == '\xFF') {
            Check(rest.size() >= 3 && (rest[1] == '\xFE' || rest[1] == '\xFC'),
                  "a telnet answer that is not a refusal");
            rest.erase(0, 3);
            continue;
        }
        const std::size_t end = rest.find("\r\n");
        Check(end != std::string::npos, "a line sent without its line end");
        const std::string line = rest.substr(0, end);
        Check(line.empty() || line == "W1ABC" || line == "pw" || line == "set/skimmer",
              "something else sent to the node");
        rest.erase(0, end + 2);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cluster::BridgeSettings settings;
    settings.station = cluster::StationPosition("JO62QM");
    settings.maxAge = std::chrono::seconds(3);
    Node node;
    Relay out(settings);
    cluster::NodeSession session(node, out, {{"node", "7300"}},
                                 {"W1ABC", "pw", cluster::NodeCommandsOf(settings)});
    // Each piece: a byte for its length (and its time), then its bytes.
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = data[i] % 64;
        const auto pause = std::chrono::milliseconds(data[i] * 40);
        ++i;
        node.pieces.emplace_back(reinterpret_cast<const char*>(data + i),
                                 std::min(length, size - i));
        i += length;
        const cluster::Clock::time_point due = session.Step(out.now);
        out.now = std::max(out.now + pause, std::min(due, out.now + std::chrono::seconds(100)));
        if (const auto published = out.relay.Next(out.now)) {
            const std::string& line = published->hostLine;
            Check(std::count(line.begin(), line.end(), '\xFF') == 7, "not eight fields");
            Check(line.ends_with("\r\n") && line.find_first_of("\r\n") == line.size() - 2,
                  "a line end inside the line");
        }
        Check(out.relay.Waiting() <= out.relay.Capacity(), "the queue past its capacity");
    }
    const cluster::RelayCounts& c = out.relay.Counts();
    Check(c.received == c.filtered + c.noCountry + c.duplicates + c.published + c.tooOld +
                            out.relay.Waiting(),
          "a spot not accounted for");
    CheckSent(node.sent);
    return 0;
}
