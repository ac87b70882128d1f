#include "win32io/dde_link.h"

#include <optional>
#include <utility>

#include <dde.h>

#include "base/failure.h"
#include "win32io/src/dde_parking.h"

namespace win32io {

// One connection attempt: its own instance, the item's name and the conversation. Members end in
// reverse order: the conversation first, the instance last.
struct DdeLinkSession {
    explicit DdeLinkSession(DdeHandler handler)
        : instance(std::move(handler),
                   APPCMD_CLIENTONLY | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS) {}

    HCONV Conv() const { return conversation->Get(); }

    DdeInstance instance;
    std::optional<DdeString> item;
    std::optional<DdeConversation> conversation;
    bool closing = false;  // the end of the conversation is queued: raise it only once
};

namespace {
constexpr UINT kDeliverMessage = WM_APP;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT_PTR kRetryDeliveryTimer = 2;
constexpr UINT kRetryDeliveryMs = 10;

// Synchronous transactions of all links in progress on this thread. On Windows, DDEML's wait for
// an answer dispatches messages, which would otherwise raise events in the middle of a poke.
int transactionsRunning = 0;

class TransactionScope {
  public:
    TransactionScope() { ++transactionsRunning; }
    ~TransactionScope() { --transactionsRunning; }
    TransactionScope(const TransactionScope&) = delete;
    TransactionScope& operator=(const TransactionScope&) = delete;
};

// Under Wine a client never gets XTYP_DISCONNECT, so the conversation itself is looked at: the
// connected bit, and the server's conversation window, which goes with its process.
bool ConversationAlive(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    return info && (info->wStatus & ST_CONNECTED) && IsWindow(info->hwndPartner);
}

// Under Wine, a hot-link value that is waiting in the queue when a poke starts is taken for the
// poke's acknowledgement and lost. So what the server has sent already is taken in first.
void TakeWaitingData(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    if (!info) return;
    MSG msg;
    while (PeekMessageA(&msg, info->hwnd, WM_DDE_FIRST, WM_DDE_LAST, PM_REMOVE))
        DispatchMessageA(&msg);
}

[[noreturn]] void FailWithLastError(const DdeInstance& instance) {
    throw base::Failure(DdeErrorText(DdeGetLastError(instance.Id())));
}
}  // namespace

DdeLink::DdeLink()
    : window_([this](UINT message, WPARAM, LPARAM) { OnMessage(message); }),
      lifeline_(std::make_shared<int>(0)) {}

DdeLink::~DdeLink() {
    Disconnect();
}

void DdeLink::Connect(const std::string& application, const std::string& topic,
                      const std::string& item) {
    Disconnect();
    auto session =
        std::make_unique<DdeLinkSession>([this](const DdeCall& call) { return OnDde(call); });
    const DdeInstance& instance = session->instance;
    const DdeString applicationName(instance, application), topicName(instance, topic);
    session->item.emplace(instance, item);

    TransactionScope scope;
    HCONV conv = DdeConnect(instance.Id(), applicationName.Get(), topicName.Get(), nullptr);
    if (!conv) FailWithLastError(instance);
    session->conversation.emplace(conv);
    // A hot link with no request of the current value: a reconnection never repeats old text.
    DWORD result = 0;
    if (!DdeClientTransaction(nullptr, 0, conv, session->item->Get(), CF_TEXT, XTYP_ADVSTART,
                              kTransactionTimeoutMs, &result)) {
        const UINT error = DdeGetLastError(instance.Id());
        events_.clear();
        throw base::Failure(DdeErrorText(error));
    }
    session_ = std::move(session);
    window_.StartTimer(kWatchTimer, kWatchIntervalMs);
}

void DdeLink::Disconnect() {
    window_.StopTimer(kWatchTimer);
    events_.clear();
    EndSession();
}

void DdeLink::EndSession() {
    if (!session_) return;
    session_->instance.Detach();
    const HCONV conv = session_->Conv();
    if (PartnerHung(conv))
        ParkConversation(std::shared_ptr<DdeLinkSession>(std::move(session_)), conv);
    else
        session_.reset();
}

void DdeLink::Poke(const std::string& text) {
    if (!session_ || session_->closing) throw base::Failure("No DDE conversation");
    const HCONV conv = session_->Conv();
    TakeWaitingData(conv);
    std::string data = text;
    data.push_back('\0');
    TransactionScope scope;
    // Wine answers every poke with success and leaves the acknowledgement in the result's low
    // word; Windows fails a refused poke and sets the word too. Assume an acknowledgement when
    // nothing is written there.
    DWORD result = DDE_FACK;
    if (!DdeClientTransaction(reinterpret_cast<BYTE*>(data.data()), static_cast<DWORD>(data.size()),
                              conv, session_->item->Get(), CF_TEXT, XTYP_POKE,
                              kTransactionTimeoutMs, &result))
        FailWithLastError(session_->instance);
    // A result wider than an acknowledgement is a hot-link value that Wine took for the
    // acknowledgement: the value is lost, the poke went out.
    if (result > 0xFFFF) return;
    if (result & DDE_FBUSY) throw base::Failure(DdeErrorText(DMLERR_BUSY));
    if (!(result & DDE_FACK)) throw base::Failure(DdeErrorText(DMLERR_NOTPROCESSED));
}

HDDEDATA DdeLink::OnDde(const DdeCall& call) {
    switch (call.type) {
        case XTYP_ADVDATA:
            if (call.format != CF_TEXT) return reinterpret_cast<HDDEDATA>(DDE_FNOTPROCESSED);
            Queue({Event::Kind::Data, DdeDataText(call.data), 0});
            return reinterpret_cast<HDDEDATA>(DDE_FACK);
        case XTYP_DISCONNECT:
            if (session_ && session_->Conv() == call.conv && !session_->closing) {
                session_->closing = true;
                Queue({Event::Kind::Close, {}, 0});
            }
            return nullptr;
        case XTYP_ERROR:
            if (call.conv) Queue({Event::Kind::Error, {}, static_cast<int>(LOWORD(call.data1))});
            return nullptr;
        default:
            return nullptr;
    }
}

void DdeLink::OnMessage(UINT message) {
    if (message == kDeliverMessage) {
        Deliver();
    } else if (message == WM_TIMER) {
        window_.StopTimer(kRetryDeliveryTimer);
        Watch();
        Deliver();
    }
}

void DdeLink::Queue(Event event) {
    events_.push_back(std::move(event));
    window_.Post(kDeliverMessage);
}

void DdeLink::Deliver() {
    if (transactionsRunning > 0) {
        if (!events_.empty()) window_.StartTimer(kRetryDeliveryTimer, kRetryDeliveryMs);
        return;
    }
    const std::weak_ptr<int> alive = lifeline_;
    while (!events_.empty()) {
        const Event event = std::move(events_.front());
        events_.pop_front();
        Raise(event);
        if (alive.expired()) return;
    }
}

void DdeLink::Raise(const Event& event) {
    try {
        switch (event.kind) {
            case Event::Kind::Data:
                if (onData) onData(event.text);
                break;
            case Event::Kind::Error:
                if (onError) onError(event.code);
                break;
            case Event::Kind::Close:
                window_.StopTimer(kWatchTimer);
                EndSession();
                if (onClose) onClose();
                break;
        }
    } catch (...) {
        // A failing handler ends only its own event; the owner's dispatch reports nothing more.
    }
}

void DdeLink::Watch() {
    if (!session_ || session_->closing || transactionsRunning > 0) return;
    if (ConversationAlive(session_->Conv())) return;
    session_->closing = true;
    Queue({Event::Kind::Close, {}, 0});
}

}  // namespace win32io
