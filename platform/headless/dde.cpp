// The in-process DDE bus: link slots talk to scriptable servers. It behaves like the DDE the
// program meets on Windows: a hot link gets only values published after it opens, every published
// value raises Change, and a conversation ended by the server raises LinkClose.
#include <algorithm>
#include <cctype>

#include "base/failure.h"
#include "platform/headless/impl.h"

namespace platform {

using headless::DdeServer;
using headless::Dispatch;
using headless::Record;

namespace headless {

std::vector<Label::Impl*>& LinkedLabels() {
    static std::vector<Label::Impl*> labels;
    return labels;
}

namespace {
bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::toupper(x) == std::toupper(y);
           });
}

// A copy, so that handlers may open or close links while we walk them.
std::vector<Label::Impl*> LabelsOf(const DdeServer* server) {
    std::vector<Label::Impl*> result;
    for (Label::Impl* label : LinkedLabels())
        if (label->server == server) result.push_back(label);
    return result;
}

bool StillLinkedTo(Label::Impl* label, const DdeServer* server) {
    const auto& linked = LinkedLabels();
    return std::find(linked.begin(), linked.end(), label) != linked.end() &&
           label->server == server;
}

void Unlink(Label::Impl* label) {
    label->server = nullptr;
    label->linkMode = 0;
    std::erase(LinkedLabels(), label);
}
}  // namespace

void DdeServer::Publish(const std::string& item, const std::string& text) {
    for (Label::Impl* label : LabelsOf(this)) {
        if (!StillLinkedTo(label, this) || !SameName(label->linkItem, item)) continue;
        label->caption = text;
        Dispatch(label->self->OnChange);
    }
}

void DdeServer::DropConversations() {
    for (Label::Impl* label : LabelsOf(this)) {
        if (!StillLinkedTo(label, this)) continue;
        Unlink(label);
        Dispatch(label->self->OnLinkClose);
    }
}

void DdeServer::RaiseError(int code) {
    for (Label::Impl* label : LabelsOf(this)) {
        if (!StillLinkedTo(label, this)) continue;
        Dispatch([&] {
            if (label->self->OnLinkError) label->self->OnLinkError(code);
        });
    }
}

int DdeServer::Conversations() const { return static_cast<int>(LabelsOf(this).size()); }

DdeServer& AddDdeServer(const std::string& application, const std::string& topic) {
    return TheWorld().servers.emplace_back(application, topic);
}

void RemoveDdeServer(DdeServer& server) {
    server.answers = false;
    server.DropConversations();
}

DdeServer* FindServer(const std::string& linkTopic) {
    const auto bar = linkTopic.find('|');
    if (bar == std::string::npos) return nullptr;
    const std::string application = linkTopic.substr(0, bar), topic = linkTopic.substr(bar + 1);
    for (DdeServer& server : TheWorld().servers) {
        if (!SameName(server.application, application) || !SameName(server.topic, topic)) continue;
        ++server.connectionAttempts;
        if (server.answers) return &server;
    }
    return nullptr;
}

}  // namespace headless

const std::string& Label::LinkTopic() const { return impl_->linkTopic; }
void Label::SetLinkTopic(const std::string& topic) { impl_->linkTopic = topic; }
const std::string& Label::LinkItem() const { return impl_->linkItem; }
void Label::SetLinkItem(const std::string& item) { impl_->linkItem = item; }
int Label::LinkMode() const { return impl_->linkMode; }

void Label::SetLinkMode(int mode) {
    Record("Label." + impl_->design.name + ".LinkMode " + std::to_string(mode) + " " +
           impl_->linkTopic + "!" + impl_->linkItem);
    if (DdeServer* old = impl_->server) {
        headless::Unlink(impl_.get());
        if (old->onClientClosed) old->onClientClosed();
    }
    impl_->linkMode = 0;
    if (mode == 0) return;
    if (mode != 1) throw base::Failure("Invalid property value");
    DdeServer* server = headless::FindServer(impl_->linkTopic);
    if (!server) throw base::Failure("No foreign application responded to a DDE initiate");
    ++server->connectionsOpened;
    impl_->server = server;
    impl_->linkMode = 1;
    headless::LinkedLabels().push_back(impl_.get());
}

void Label::LinkPoke() {
    Record("Label." + impl_->design.name + ".LinkPoke " + impl_->caption);
    DdeServer* server = impl_->server;
    if (!server) throw base::Failure("No DDE conversation");
    server->pokes.emplace_back(impl_->linkItem, impl_->caption);
    switch (server->pokeReply) {
        case DdeServer::PokeReply::Refuse:
            throw base::Failure("Foreign application won't perform DDE method or operation");
        case DdeServer::PokeReply::Timeout:
            throw base::Failure("Timeout while waiting for DDE response");
        case DdeServer::PokeReply::Accept:
            break;
    }
    if (server->onPoke) server->onPoke(impl_->linkItem, impl_->caption);
}

}  // namespace platform
