#include "bridges/rotator/win32/bridge.h"

#include "base/dde_names.h"
#include "base/text.h"
#include "bridges/rotator/core/heading.h"
#include "bridges/rotator/core/poke_message.h"

namespace rotbridge {

namespace {
constexpr UINT kReportsMessage = WM_APP + 1;
// Whether Vantro32 still holds the link, looked at this often.
constexpr UINT_PTR kLinkTimer = 1;
constexpr UINT kLinkEveryMs = 1000;
constexpr DWORD kConnectLimitMs = 2000;
// Long enough for a rotator backend that retries on its serial line.
constexpr DWORD kAnswerLimitMs = 3000;
const std::string kItem = dde_names::rotator::kItem;
const std::string kConversation =
    dde_names::LinkTopic(dde_names::rotator::kService, dde_names::rotator::kTopic);

bool IsItem(const std::string& name) {
    return lstrcmpiA(name.c_str(), kItem.c_str()) == 0;
}
}  // namespace

Bridge::Bridge(const RotctldAddress& rotctld, win32io::CompanionOutput& output)
    : output_(output),
      status_(output, rotctld.Text()),
      mailbox_([this](UINT message, WPARAM, LPARAM) {
          if (message == kReportsMessage) PublishReports();
          if (message == WM_TIMER) status_.SetLinked(server_.Conversations() > 0);
      }),
      connection_(rotctld, kConnectLimitMs, kAnswerLimitMs),
      driver_(connection_, *this, rotctld.Text()),
      thread_(driver_),
      server_(dde_names::rotator::kService, dde_names::rotator::kTopic) {
    server_.onConnect = [this] {
        output_.Line("a client opened the rotator link " + kConversation);
        status_.SetLinked(true);
        return true;
    };
    server_.onDisconnect = [this] {
        output_.Line("a client closed the rotator link");
        status_.SetLinked(server_.Conversations() > 0);
    };
    server_.onClientGone = [this] {
        output_.Line("a client of the rotator link went away without closing it");
        status_.SetLinked(server_.Conversations() > 0);
    };
    server_.onAdviseStart = [](const std::string& item) { return IsItem(item); };
    server_.onPoke = [this](const std::string& item, const std::string& text) {
        return OnPoke(item, text);
    };
    mailbox_.StartTimer(kLinkTimer, kLinkEveryMs);
    output_.Line(std::string("offering DDE service ") + dde_names::rotator::kService + ", topic " +
                 dde_names::rotator::kTopic + ", item " + kItem + "; rotctld at " + rotctld.Text());
}

Bridge::~Bridge() {
    // No look at the service while it is withdrawn.
    mailbox_.StopTimer(kLinkTimer);
}

win32io::DdeServer::PokeReply Bridge::OnPoke(const std::string& item, const std::string& text) {
    if (!IsItem(item)) {
        output_.Line("refused a poke on item " + base::ShownText(item) + ": only " + kItem +
                     " is served");
        return win32io::DdeServer::PokeReply::Refuse;
    }
    const PokeMessage message = ReadPoke(text);
    switch (message.kind) {
        case PokeMessage::Kind::Turn:
            // Refused here, so that the sender's poke fails; the driver would only drop it.
            if (!HeadingValue(message.heading)) {
                output_.Line("refused GA:" + base::ShownText(message.heading) +
                             ": the heading is not a number");
                return win32io::DdeServer::PokeReply::Refuse;
            }
            status_.SetLastCommand("GA:" + base::ShownText(message.heading));
            output_.Line("received GA:" + base::ShownText(message.heading));
            thread_.Turn(message.heading);
            return win32io::DdeServer::PokeReply::Accept;
        case PokeMessage::Kind::Query:
            status_.SetLastCommand("RA:");
            output_.Line("received RA:");
            thread_.Query();
            return win32io::DdeServer::PokeReply::Accept;
        case PokeMessage::Kind::Unknown:
            break;
    }
    output_.Line("refused \"" + base::ShownText(text) + "\": not a GA: or RA: command");
    return win32io::DdeServer::PokeReply::Refuse;
}

void Bridge::Publish(const std::string& report) {
    {
        const std::lock_guard lock(mutex_);
        reports_.push_back(report);
    }
    mailbox_.Post(kReportsMessage);
}

void Bridge::PublishReports() {
    std::deque<std::string> reports;
    {
        const std::lock_guard lock(mutex_);
        reports.swap(reports_);
    }
    for (const std::string& report : reports) server_.Publish(kItem, report);
}

}  // namespace rotbridge
