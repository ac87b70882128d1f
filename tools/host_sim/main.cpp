// The host simulator: offers the host program's DDE service and, while a client is linked,
// publishes spot text from a feed file on the spot item, one update per interval.
#include <windows.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/dde_names.h"
#include "tools/host_sim/feed.h"
#include "tools/peer_console.h"
#include "win32io/dde_server.h"
#include "win32io/message_window.h"

namespace {

constexpr const char* kTopic = dde_names::host::kTopic;
constexpr const char* kItem = dde_names::host::kItem;
constexpr UINT_PTR kFeedTimer = 1;

constexpr const char* kUsage =
    "usage: host_sim [--name WENDRA|WENDRA32] [--file SPOTS] [--interval MS]\n"
    "                [--chunk lines|split|block] [--lines N] [--once]\n"
    "Offers NAME|WENDATA, item labDxSpot, and publishes the spot file (default: spots.txt beside\n"
    "the program) while a client is linked: one update every MS milliseconds (default 1000),\n"
    "whole lines, lines split in two, or blocks of N lines (default 3); from the top again at\n"
    "the end unless --once.\n";

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

tools::Chunking ChunkingOf(const std::string& word) {
    if (word == "lines") return tools::Chunking::Lines;
    if (word == "split") return tools::Chunking::Split;
    if (word == "block") return tools::Chunking::Block;
    throw std::invalid_argument("unknown chunking " + word);
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class HostSimulator {
  public:
    HostSimulator(const std::string& name, std::vector<std::string> updates, bool once)
        : server_(name, kTopic),
          updates_(std::move(updates)),
          once_(once),
          ticker_([this](UINT message, WPARAM, LPARAM) {
              if (message == WM_TIMER) Tick();
          }) {
        tools::SayConversations(server_);
        server_.onAdviseStart = [this](const std::string& item) {
            const bool known = SameName(item, kItem);
            tools::Say("hot link on " + item + (known ? "" : ": no such item, refused"));
            if (known) ++hotLinks_;
            return known;
        };
        server_.onAdviseStop = [this](const std::string& item) {
            tools::Say("hot link ended: " + item);
            if (hotLinks_ > 0) --hotLinks_;
        };
        server_.onPoke = [](const std::string& item, const std::string& text) {
            tools::Say("receive " + item + " " + tools::Printable(text) + ": refused");
            return win32io::DdeServer::PokeReply::Refuse;
        };
    }

    void Start(UINT intervalMs) { ticker_.StartTimer(kFeedTimer, intervalMs); }

  private:
    void Tick() {
        // A client that went away without ending its hot link counts no more.
        server_.LookForGoneClients();
        if (hotLinks_ == 0) return;
        const std::string& update = updates_[next_];
        server_.Publish(kItem, update);
        tools::Say("send " + tools::Printable(update));
        if (++next_ < updates_.size()) return;
        next_ = 0;
        if (!once_) return;
        tools::Say("end of the feed");
        ticker_.StopTimer(kFeedTimer);
    }

    win32io::DdeServer server_;
    std::vector<std::string> updates_;
    bool once_;
    std::size_t next_ = 0;
    int hotLinks_ = 0;
    win32io::MessageWindow ticker_;
};

}  // namespace

int main(int argc, char** argv) {
    return tools::RunPeer(argc, argv, "host_sim", kUsage, [&] {
        const std::string name = tools::Option(argc, argv, "--name", dde_names::host::kService);
        const std::string file =
            tools::Option(argc, argv, "--file", win32io::ProgramFolder() + "\\spots.txt");
        const UINT interval = std::stoul(tools::Option(argc, argv, "--interval", "1000"));
        std::vector<std::string> updates = tools::MakeUpdates(
            ReadFile(file), ChunkingOf(tools::Option(argc, argv, "--chunk", "lines")),
            std::stoi(tools::Option(argc, argv, "--lines", "3")));
        if (updates.empty()) throw std::runtime_error(file + " holds no spot text");
        const std::size_t count = updates.size();
        HostSimulator host(name, std::move(updates), tools::Flag(argc, argv, "--once"));
        host.Start(interval);
        tools::Say("offering " + dde_names::ItemAddress(name, kTopic, kItem));
        tools::Say(std::to_string(count) + " updates from " + file + ", one every " +
                   std::to_string(interval) + " ms while a client is linked");
        return win32io::RunMessageLoop();
    });
}
