// The DDE link of a label. No conversation can be opened yet: a link attempt reports that no
// application answered, as it does when the peer program is not running.
#include "base/failure.h"
#include "platform/win32/impl.h"

namespace platform {

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
    impl_->linkMode = 0;
    if (mode == 0) return;
    if (mode != 1) throw base::Failure("Invalid property value");
    throw base::Failure("No foreign application responded to a DDE initiate");
}

void Label::LinkPoke() {
    throw base::Failure("No DDE conversation");
}

}  // namespace platform
