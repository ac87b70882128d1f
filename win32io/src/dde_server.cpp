#include "win32io/dde_server.h"

#include <dde.h>

#include <algorithm>

#include "base/failure.h"
#include "base/text.h"

namespace win32io {

namespace {
constexpr UINT kPublishMessage = WM_APP;
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchIntervalMs = 250;
constexpr UINT_PTR kPublishTimer = 2;  // when the message to itself cannot be posted
constexpr UINT kPublishTimerMs = 10;

HDDEDATA Flag(UINT flag) {
    return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(flag));
}

HDDEDATA PokeAnswer(DdeServer::PokeReply reply) {
    switch (reply) {
        case DdeServer::PokeReply::Accept:
            return Flag(DDE_FACK);
        case DdeServer::PokeReply::Busy:
            return Flag(DDE_FBUSY);
        case DdeServer::PokeReply::Refuse:
            break;
    }
    return Flag(DDE_FNOTPROCESSED);
}

// A client's conversation window goes with its program. (A conversation DDEML no longer knows is
// over as well.)
bool ClientGone(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    return !info || !IsWindow(info->hwndPartner);
}

// Hands the conversation window the terminate that the gone client never sent, so that DDEML
// ends the conversation as it ends one whose client ends it. (Wine does not end a conversation
// from the server's side with DdeDisconnect.)
void EndForGoneClient(HCONV conv) {
    if (const std::optional<CONVINFO> info = ConversationInfo(conv))
        PostMessageA(info->hwnd, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info->hwndPartner), 0);
}

// Sets a flag for the length of a scope; callbacks may nest.
class FlagScope {
  public:
    explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = before_; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

  private:
    bool& flag_;
    bool before_;
};
}  // namespace

DdeServer::DdeServer(const std::string& service, const std::string& topic)
    : instance_([this](const DdeCall& call) { return OnDde(call); },
                APPCLASS_STANDARD | CBF_SKIP_REGISTRATIONS | CBF_SKIP_UNREGISTRATIONS |
                    CBF_FAIL_EXECUTES),
      service_(instance_, service),
      topic_(instance_, topic),
      window_([this](UINT message, WPARAM wParam, LPARAM) {
          if (message == kPublishMessage) PublishPending();
          if (message != WM_TIMER) return;
          if (wParam == kWatchTimer) {
              Watch();
              return;
          }
          window_.StopTimer(kPublishTimer);
          PublishPending();
      }) {
    if (!DdeNameService(instance_.Id(), service_.Get(), nullptr, DNS_REGISTER))
        throw base::Failure("Cannot offer the DDE service " + service);
}

DdeServer::~DdeServer() {
    instance_.Detach();
    DdeNameService(instance_.Id(), service_.Get(), nullptr, DNS_UNREGISTER);
}

void DdeServer::Publish(const std::string& item, const std::string& text) {
    if (inCallback_) {
        PublishLater(item, text);
        return;
    }
    // A value is never sent to a client that is gone, nor counted as sent by the caller, who
    // hears of the gone client's hot links first.
    LookForGoneClients();
    values_[base::Upper(item)] = text;
    const DdeString itemName(instance_, item);
    DdePostAdvise(instance_.Id(), topic_.Get(), itemName.Get());
}

void DdeServer::PublishLater(const std::string& item, const std::string& text) {
    pending_.emplace_back(item, text);
    if (pending_.size() == 1 && !window_.Post(kPublishMessage))
        window_.StartTimer(kPublishTimer, kPublishTimerMs);
}

void DdeServer::PublishPending() {
    while (!pending_.empty()) {
        auto [item, text] = std::move(pending_.front());
        pending_.pop_front();
        Publish(item, text);
    }
}

void DdeServer::DropConversations() {
    // Wine's DDEML does not end a conversation from the server's side (DdeDisconnect fails);
    // posting the terminate from our conversation window does, on Wine and Windows alike.
    while (!conversations_.empty()) {
        const HCONV conv = conversations_.front().conv;
        if (!DdeDisconnect(conv)) {
            if (const std::optional<CONVINFO> info = ConversationInfo(conv))
                PostMessageA(info->hwndPartner, WM_DDE_TERMINATE,
                             reinterpret_cast<WPARAM>(info->hwnd), 0);
        }
        Forget(conv, nullptr);
    }
}

void DdeServer::LookForGoneClients() {
    std::vector<HCONV> gone;
    for (const Conversation& conversation : conversations_)
        if (ClientGone(conversation.conv)) gone.push_back(conversation.conv);
    for (HCONV conv : gone) {
        if (!Find(conv)) continue;  // a callback of an earlier one ended it
        EndForGoneClient(conv);
        Forget(conv, onClientGone);
    }
}

void DdeServer::Watch() {
    LookForGoneClients();
    if (conversations_.empty()) window_.StopTimer(kWatchTimer);
}

DdeServer::Conversation* DdeServer::Find(HCONV conv) {
    for (Conversation& conversation : conversations_)
        if (conversation.conv == conv) return &conversation;
    return nullptr;
}

void DdeServer::Forget(HCONV conv, const std::function<void()>& announce) {
    Conversation* conversation = Find(conv);
    if (!conversation) return;
    const std::vector<std::string> hotItems = std::move(conversation->hotItems);
    std::erase_if(conversations_, [conv](const Conversation& c) { return c.conv == conv; });
    if (announce) announce();
    if (onAdviseStop)
        for (const std::string& item : hotItems) onAdviseStop(item);
}

std::string DdeServer::ItemName(HSZ item) const {
    return DdeStringText(instance_.Id(), item);
}

HDDEDATA DdeServer::TextData(HSZ item, const std::string& text) const {
    const DWORD size = static_cast<DWORD>(text.size() + (sendNul ? 1 : 0));
    // c_str() has the NUL after the text.
    return DdeCreateDataHandle(instance_.Id(),
                               reinterpret_cast<BYTE*>(const_cast<char*>(text.c_str())), size, 0,
                               item, CF_TEXT, 0);
}

HDDEDATA DdeServer::OnDde(const DdeCall& call) {
    const FlagScope scope(inCallback_);
    const auto value = [&]() -> const std::string* {
        const auto found = values_.find(base::Upper(ItemName(call.hsz2)));
        return found == values_.end() ? nullptr : &found->second;
    };
    switch (call.type) {
        case XTYP_CONNECT:
            if (DdeCmpStringHandles(call.hsz1, topic_.Get()) != 0) return nullptr;
            return Flag(!onConnect || onConnect());
        case XTYP_CONNECT_CONFIRM:
            conversations_.push_back({call.conv, {}});
            window_.StartTimer(kWatchTimer, kWatchIntervalMs);
            return nullptr;
        case XTYP_DISCONNECT:
            // Not one that was dropped here or whose client was found gone.
            if (!Find(call.conv)) return nullptr;
            Forget(call.conv, onDisconnect);
            return nullptr;
        case XTYP_ADVSTART: {
            if (call.format != CF_TEXT) return Flag(FALSE);
            const std::string item = ItemName(call.hsz2);
            if (onAdviseStart && !onAdviseStart(item)) return Flag(FALSE);
            if (Conversation* conversation = Find(call.conv))
                conversation->hotItems.push_back(item);
            return Flag(TRUE);
        }
        case XTYP_ADVSTOP: {
            const std::string item = ItemName(call.hsz2);
            Conversation* conversation = Find(call.conv);
            if (!conversation) return nullptr;
            std::vector<std::string>& hot = conversation->hotItems;
            const auto found = std::find_if(hot.begin(), hot.end(), [&](const std::string& name) {
                return base::SameNoCase(name, item);
            });
            if (found == hot.end()) return nullptr;
            hot.erase(found);
            if (onAdviseStop) onAdviseStop(item);
            return nullptr;
        }
        case XTYP_ADVREQ:
        case XTYP_REQUEST: {  // a client may ask for the last value published
            const std::string* text = value();
            if (call.format != CF_TEXT || !text) return nullptr;
            return TextData(call.hsz2, *text);
        }
        case XTYP_POKE:
            if (call.format != CF_TEXT) return Flag(DDE_FNOTPROCESSED);
            if (!onPoke) return Flag(DDE_FACK);
            return PokeAnswer(onPoke(ItemName(call.hsz2), DdeDataText(call.data)));
        default:
            return nullptr;
    }
}

}  // namespace win32io
