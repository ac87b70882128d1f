#include "win32io/dde_server.h"

#include <dde.h>

#include <algorithm>
#include "base/failure.h"
#include "base/text.h"

namespace win32io {

namespace {
constexpr UINT kPublishMessage = WM_APP;

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
      window_([this](UINT message, WPARAM, LPARAM) {
          if (message == kPublishMessage) PublishPending();
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
    values_[base::Upper(item)] = text;
    const DdeString itemName(instance_, item);
    DdePostAdvise(instance_.Id(), topic_.Get(), itemName.Get());
}

void DdeServer::PublishLater(const std::string& item, const std::string& text) {
    pending_.emplace_back(item, text);
    window_.Post(kPublishMessage);
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
    for (HCONV conv : std::vector<HCONV>(conversations_)) {
        if (DdeDisconnect(conv)) continue;
        if (const std::optional<CONVINFO> info = ConversationInfo(conv))
            PostMessageA(info->hwndPartner, WM_DDE_TERMINATE, reinterpret_cast<WPARAM>(info->hwnd),
                         0);
    }
    conversations_.clear();
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
            conversations_.push_back(call.conv);
            return nullptr;
        case XTYP_DISCONNECT:
            std::erase(conversations_, call.conv);
            if (onDisconnect) onDisconnect();
            return nullptr;
        case XTYP_ADVSTART:
            if (call.format != CF_TEXT) return Flag(FALSE);
            return Flag(!onAdviseStart || onAdviseStart(ItemName(call.hsz2)));
        case XTYP_ADVSTOP:
            if (onAdviseStop) onAdviseStop(ItemName(call.hsz2));
            return nullptr;
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
