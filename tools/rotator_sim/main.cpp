// The rotator simulator: offers the rotator program's DDE service, turns towards each heading it
// is sent, and reports its azimuth while it turns and once when it stops.
#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/dde_names.h"
#include "tools/peer_console.h"
#include "tools/rotator_sim/rotator.h"
#include "win32io/dde_server.h"
#include "win32io/message_window.h"

namespace {

constexpr const char* kService = dde_names::rotator::kService;
constexpr const char* kTopic = dde_names::rotator::kTopic;
constexpr const char* kItem = dde_names::rotator::kItem;
constexpr UINT_PTR kTurnTimer = 1;
constexpr UINT kTurnTickMs = 250;

constexpr const char* kUsage =
    "usage: rotator_sim [--azimuth DEGREES] [--speed DEGREES_PER_SECOND] [--refuse | --silent]\n"
    "Offers ARSWIN|RCI, item AZIMUTH. \"GA:\" and a heading turns the rotator (default 6 degrees\n"
    "a second, from 0); \"RA:\" asks for the azimuth. Commands on standard input: accept,\n"
    "refuse (pokes are refused), silent (pokes are not answered, as by a hung program).\n";

enum class PokeMode { Accept, Refuse, Silent };

// The heading of a turn command: a number and nothing else.
std::optional<double> HeadingOf(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    const double heading = std::strtod(start, &end);
    if (end == start) return std::nullopt;
    while (*end == ' ') ++end;
    if (*end != '\0' || !std::isfinite(heading)) return std::nullopt;
    return heading;
}

class RotatorSimulator {
  public:
    RotatorSimulator(double azimuth, double speed, PokeMode mode)
        : server_(kService, kTopic),
          rotator_(azimuth, speed),
          mode_(mode),
          wake_(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
          ticker_([this](UINT message, WPARAM, LPARAM) {
              if (message == WM_TIMER) Turn();
          }) {
        tools::SayConversations(server_);
        server_.onAdviseStart = [](const std::string& item) {
            tools::Say("hot link on " + item);
            return true;
        };
        server_.onAdviseStop = [](const std::string& item) {
            tools::Say("hot link ended: " + item);
        };
        server_.onPoke = [this](const std::string& item, const std::string& text) {
            tools::Say("receive " + item + " " + tools::Printable(text));
            return AnswerPoke(item, text);
        };
    }
    ~RotatorSimulator() { CloseHandle(wake_); }
    RotatorSimulator(const RotatorSimulator&) = delete;
    RotatorSimulator& operator=(const RotatorSimulator&) = delete;

    // From the console's thread.
    void Command(const std::string& line) {
        if (line == "accept") {
            mode_ = PokeMode::Accept;
        } else if (line == "refuse") {
            mode_ = PokeMode::Refuse;
        } else if (line == "silent") {
            mode_ = PokeMode::Silent;
        } else {
            tools::Say("commands: accept, refuse, silent");
            return;
        }
        tools::Say("pokes: " + line);
        SetEvent(wake_);
    }

  private:
    win32io::DdeServer::PokeReply AnswerPoke(const std::string& item, const std::string& text) {
        if (mode_ == PokeMode::Silent) {
            tools::Say("not answering");
            // Hung: no message is pumped until the console says otherwise.
            while (mode_ == PokeMode::Silent) WaitForSingleObject(wake_, INFINITE);
        }
        if (mode_ == PokeMode::Refuse || item != kItem) return Refuse("refused");
        if (text == "RA:") {
            // Published once the poke is answered, never from inside it.
            server_.PublishLater(kItem, Report());
            tools::Say("send " + Report());
            return win32io::DdeServer::PokeReply::Accept;
        }
        const std::optional<double> heading =
            text.starts_with("GA:") ? HeadingOf(text.substr(3)) : std::nullopt;
        if (!heading) return Refuse("not a command: refused");
        rotator_.TurnTo(*heading);
        tools::Say("turning to " + text.substr(3));
        lastTick_ = GetTickCount();
        ticker_.StartTimer(kTurnTimer, kTurnTickMs);
        return win32io::DdeServer::PokeReply::Accept;
    }

    static win32io::DdeServer::PokeReply Refuse(const std::string& why) {
        tools::Say(why);
        return win32io::DdeServer::PokeReply::Refuse;
    }

    void Turn() {
        const DWORD now = GetTickCount();
        rotator_.Advance((now - lastTick_) / 1000.0);
        lastTick_ = now;
        server_.Publish(kItem, Report());
        tools::Say("send " + Report());
        if (rotator_.Moving()) return;
        tools::Say("stopped");
        ticker_.StopTimer(kTurnTimer);
    }

    std::string Report() const { return "RA:" + std::to_string(rotator_.Azimuth()); }

    win32io::DdeServer server_;
    tools::Rotator rotator_;
    std::atomic<PokeMode> mode_;
    HANDLE wake_;
    DWORD lastTick_ = 0;
    win32io::MessageWindow ticker_;
};

}  // namespace

int main(int argc, char** argv) {
    return tools::RunPeer(argc, argv, "rotator_sim", kUsage, [&] {
        const double azimuth = std::stod(tools::Option(argc, argv, "--azimuth", "0"));
        const double speed = std::stod(tools::Option(argc, argv, "--speed", "6"));
        const PokeMode mode = tools::Flag(argc, argv, "--refuse")   ? PokeMode::Refuse
                              : tools::Flag(argc, argv, "--silent") ? PokeMode::Silent
                                                                    : PokeMode::Accept;
        RotatorSimulator rotator(azimuth, speed, mode);
        tools::ReadCommands([&rotator](const std::string& line) { rotator.Command(line); });
        tools::Say("offering " + dde_names::ItemAddress(kService, kTopic, kItem));
        return win32io::RunMessageLoop();
    });
}
