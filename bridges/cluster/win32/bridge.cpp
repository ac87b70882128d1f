#include "bridges/cluster/win32/bridge.h"

#include "base/dde_names.h"
#include "bridges/cluster/win32/bridge_status.h"

namespace clusterbridge {

namespace {
const std::string kTopic = dde_names::host::kTopic;
const std::string kItem = dde_names::host::kItem;

constexpr UINT_PTR kPublishTimer = 1;
constexpr UINT kPublishTickMs = 50;  // the relay keeps the pace; this only looks often
constexpr UINT_PTR kCountsTimer = 2;
constexpr UINT kCountsEveryMs = 10000;  // the counts, when they changed
constexpr UINT_PTR kStatusTimer = 3;
constexpr UINT kStatusEveryMs = 1000;

bool IsItem(const std::string& name) {
    return lstrcmpiA(name.c_str(), kItem.c_str()) == 0;
}

cluster::SessionTimes TimesOf(const cluster::BridgeSettings& settings) {
    cluster::SessionTimes times;
    times.keepAlive = settings.keepAlive;
    return times;
}
}  // namespace

Bridge::Bridge(const cluster::BridgeSettings& settings, const cluster::CountryTable& table,
               win32io::CompanionOutput& output)
    : settings_(settings),
      output_(output),
      ticker_([this](UINT message, WPARAM id, LPARAM) {
          if (message == WM_TIMER) OnTimer(id);
      }),
      relay_(settings, table),
      session_(connection_, *this, cluster::NodesOf(settings),
               {settings.callsign, settings.password, cluster::NodeCommandsOf(settings)},
               TimesOf(settings)),
      thread_(session_),
      server_(settings.service, kTopic) {
    status_.node = cluster::NodesOf(settings).front();  // until the session says more
    server_.onAdviseStart = [this](const std::string& item) {
        if (!IsItem(item)) return false;
        ++hotLinks_;
        output_.Line("a client holds a hot link on " + kItem + ": publishing spots");
        return true;
    };
    server_.onAdviseStop = [this](const std::string& item) {
        if (!IsItem(item) || hotLinks_ == 0) return;
        if (--hotLinks_ == 0)
            output_.Line("the hot link on " + kItem + " ended: spots wait for the next client");
    };
    server_.onClientGone = [this] {
        output_.Line("a client went away without ending its conversation");
    };
    server_.onPoke = [](const std::string&, const std::string&) {
        return win32io::DdeServer::PokeReply::Refuse;
    };
    ticker_.StartTimer(kPublishTimer, kPublishTickMs);
    ticker_.StartTimer(kCountsTimer, kCountsEveryMs);
    ticker_.StartTimer(kStatusTimer, kStatusEveryMs);
    output_.Line("offering DDE service " + settings.service + ", topic " + kTopic + ", item " +
                 kItem);
    ShowStatus();
}

Bridge::~Bridge() {
    const std::lock_guard lock(mutex_);
    output_.Line("counts: " + cluster::CountsText(relay_.Counts()));
    // Worked out for these settings and this client: said, so that none goes without a word.
    if (const std::size_t waiting = relay_.Waiting(); waiting > 0)
        output_.Line(std::to_string(waiting) + (waiting == 1 ? " spot" : " spots") +
                     " still waiting, not published");
}

void Bridge::LiveSpot(const cluster::Spot& spot) {
    const std::lock_guard lock(mutex_);
    relay_.Receive(spot, cluster::Clock::now());
}

void Bridge::Status(const cluster::SessionStatus& status) {
    const std::lock_guard lock(mutex_);
    status_ = status;
}

void Bridge::BacklogSpot() {
    const std::lock_guard lock(mutex_);
    relay_.CountBacklog();
}

void Bridge::UnreadableSpot() {
    const std::lock_guard lock(mutex_);
    relay_.CountUnreadable();
}

void Bridge::OnTimer(UINT_PTR id) {
    switch (id) {
        case kPublishTimer:
            Publish();
            break;
        case kCountsTimer:
            ShowCounts();
            break;
        case kStatusTimer:
            ShowStatus();
            break;
        default:
            break;
    }
}

void Bridge::Publish() {
    // A client gone without ending its conversation gets no spot: it holds no hot link any more.
    server_.LookForGoneClients();
    std::optional<cluster::Outgoing> out;
    {
        const std::lock_guard lock(mutex_);
        if (hotLinks_ > 0) {
            out = relay_.Next(cluster::Clock::now());
        } else {
            relay_.LetGoStale(cluster::Clock::now());
        }
    }
    if (!out) return;
    server_.Publish(kItem, out->hostLine);
    output_.Line("published " + out->text);
}

void Bridge::ShowCounts() {
    cluster::RelayCounts counts;
    {
        const std::lock_guard lock(mutex_);
        counts = relay_.Counts();
    }
    if (counts == countsShown_) return;
    countsShown_ = counts;
    output_.Line("counts: " + cluster::CountsText(counts));
}

void Bridge::ShowStatus() {
    StatusFacts facts{{}, settings_.callsign, settings_.service, hotLinks_ > 0, {}};
    {
        const std::lock_guard lock(mutex_);
        facts.counts = relay_.Counts();
        facts.session = status_;
    }
    clusterbridge::ShowStatus(output_, facts, cluster::Clock::now());
}

}  // namespace clusterbridge
