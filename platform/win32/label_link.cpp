// The DDE link of a label: a DdeLink conversation whose events become the label's events, raised
// through the event dispatch.
#include "base/failure.h"
#include "platform/win32/dispatch.h"
#include "platform/win32/impl.h"

namespace platform {

namespace {
win32io::DdeLink& LinkOf(Label::Impl& impl) {
    if (impl.link) return *impl.link;
    impl.link = std::make_unique<win32io::DdeLink>();
    Label::Impl* label = &impl;
    // A value received replaces the caption, which raises Change through the dispatch. (The link
    // raises nothing during a peer wait, so nothing of it is ever held.)
    impl.link->onData = [label](const std::string& text) { label->self->SetCaption(text); };
    impl.link->onClose = [label] {
        label->linkMode = 0;
        win32::Dispatch(label->self->OnLinkClose);
    };
    impl.link->onError = [label](int code) {
        win32::Dispatch([label, code] {
            if (label->self->OnLinkError) label->self->OnLinkError(code);
        });
    };
    return *impl.link;
}
}  // namespace

const std::string& Label::LinkTopic() const {
    return impl_->linkTopic;
}
void Label::SetLinkTopic(const std::string& topic) {
    impl_->linkTopic = topic;
}
const std::string& Label::LinkItem() const {
    return impl_->linkItem;
}
void Label::SetLinkItem(const std::string& item) {
    impl_->linkItem = item;
}
int Label::LinkMode() const {
    return impl_->linkMode;
}

void Label::SetLinkMode(int mode) {
    if (impl_->link) impl_->link->Disconnect();
    impl_->linkMode = 0;
    if (mode == 0) return;
    if (mode != 1) throw base::Failure("Invalid property value");
    // LinkTopic is "APPLICATION|TOPIC"; without the bar no application can answer.
    const auto bar = impl_->linkTopic.find('|');
    if (bar == std::string::npos)
        throw base::Failure("No foreign application responded to a DDE initiate");
    LinkOf(*impl_).Connect(impl_->linkTopic.substr(0, bar), impl_->linkTopic.substr(bar + 1),
                           impl_->linkItem);
    impl_->linkMode = 1;
}

void Label::LinkPoke() {
    if (!impl_->link) throw base::Failure("No DDE conversation");
    impl_->link->Poke(impl_->caption);
}

}  // namespace platform
