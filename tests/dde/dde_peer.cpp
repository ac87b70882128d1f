// A DDE server in a process of its own, driven by the link tests through its standard input, so
// that links are tried across processes as they run in the field.
//
// Usage: dde_peer SERVICE TOPIC. Commands, one a line (texts in hexadecimal):
//   publish ITEM HEX | later ITEM HEX | drop | nul on|off | connect accept|refuse |
//   advise accept|refuse | advise hang MS (the next one) | advise slow MS (every one) |
//   pokes accept|refuse|busy|echo | pokes hang MS | busy MS | quit
// Each command is answered "ok" once done ("busy" first, then it handles nothing for that long).
// Events are reported one a line: "ready", "connect", "advstart ITEM", "advstop ITEM",
// "poke ITEM HEX", "disconnect", "gone" (a client went away without ending its conversation).
#include <windows.h>

#include <cstdio>
#include <deque>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>

#include "tests/dde/hex.h"
#include "tools/peer_console.h"
#include "win32io/dde_server.h"

namespace {

constexpr UINT kCommandMessage = WM_APP;

using tools::Say;

class Peer {
  public:
    Peer(const std::string& service, const std::string& topic)
        : server_(service, topic), window_([this](UINT message, WPARAM, LPARAM) {
              if (message == kCommandMessage) RunCommands();
          }) {
        server_.onConnect = [this] {
            Say("connect");
            return acceptConnect_;
        };
        server_.onAdviseStart = [this](const std::string& item) {
            Say("advstart " + item);
            if (adviseHangMs_ > 0) Sleep(std::exchange(adviseHangMs_, 0));  // hung, once
            if (adviseSlowMs_ > 0) Sleep(adviseSlowMs_);
            return acceptAdvise_;
        };
        server_.onAdviseStop = [](const std::string& item) { Say("advstop " + item); };
        server_.onDisconnect = [] { Say("disconnect"); };
        server_.onClientGone = [] { Say("gone"); };
        server_.onPoke = [this](const std::string& item, const std::string& text) {
            Say("poke " + item + " " + test::Hex(text));
            return AnswerPoke(item, text);
        };
    }

    // From the console's thread.
    void Add(const std::string& line) {
        {
            std::lock_guard lock(mutex_);
            commands_.push_back(line);
        }
        window_.Post(kCommandMessage);
    }

  private:
    win32io::DdeServer::PokeReply AnswerPoke(const std::string& item, const std::string& text) {
        if (pokes_ == "refuse") return win32io::DdeServer::PokeReply::Refuse;
        if (pokes_ == "busy") return win32io::DdeServer::PokeReply::Busy;
        if (pokes_ == "echo") server_.PublishLater(item, text);
        if (pokes_ == "hang") Sleep(hangMs_);  // a hung program: no message is pumped
        return win32io::DdeServer::PokeReply::Accept;
    }

    void RunCommands() {
        for (;;) {
            std::string line;
            {
                std::lock_guard lock(mutex_);
                if (commands_.empty()) return;
                line = std::move(commands_.front());
                commands_.pop_front();
            }
            Run(line);
            Say("ok");
            // A program busy with its own work: no message of any kind is handled meanwhile.
            if (busyMs_ > 0) Sleep(std::exchange(busyMs_, 0));
        }
    }

    void Run(const std::string& line) {
        std::istringstream words(line);
        std::string command, first, second;
        words >> command >> first >> second;
        if (command == "publish") server_.Publish(first, test::Unhex(second));
        if (command == "later") server_.PublishLater(first, test::Unhex(second));
        if (command == "drop") server_.DropConversations();
        if (command == "nul") server_.sendNul = first == "on";
        if (command == "connect") acceptConnect_ = first == "accept";
        if (command == "advise") {
            if (first == "accept" || first == "refuse") acceptAdvise_ = first == "accept";
            if (first == "hang") adviseHangMs_ = std::stoul(second);
            if (first == "slow") adviseSlowMs_ = std::stoul(second);
        }
        if (command == "pokes") {
            pokes_ = first;
            if (first == "hang") hangMs_ = std::stoul(second);
        }
        if (command == "busy") busyMs_ = std::stoul(first);
        if (command == "quit") PostQuitMessage(0);
    }

    win32io::DdeServer server_;
    win32io::MessageWindow window_;
    std::mutex mutex_;
    std::deque<std::string> commands_;
    bool acceptConnect_ = true;
    bool acceptAdvise_ = true;
    DWORD adviseHangMs_ = 0;
    DWORD adviseSlowMs_ = 0;
    DWORD busyMs_ = 0;
    std::string pokes_ = "accept";
    DWORD hangMs_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: dde_peer SERVICE TOPIC\n", stderr);
        return 2;
    }
    Peer peer(argv[1], argv[2]);
    tools::ReadCommands([&peer](const std::string& line) { peer.Add(line); });
    Say("ready");
    return win32io::RunMessageLoop();
}
