#include "win32io/src/dde_parking.h"

#include <utility>

#include "win32io/dde_handles.h"

namespace win32io {

namespace {
constexpr UINT kProbeMs = 100;

// Whether the conversation's partner is hung: its window exists but does not answer a message
// within a short probe.
bool PartnerHung(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    if (!info || !IsWindow(info->hwndPartner)) return false;
    DWORD_PTR result = 0;
    return !SendMessageTimeoutA(info->hwndPartner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                kProbeMs, &result);
}
}  // namespace

void DdeParking::End(std::shared_ptr<void> owner, HCONV conv) {
    if (!PartnerHung(conv)) return;  // `owner` ends here
    parked_.push_back({std::move(owner), conv});
}

void DdeParking::Recheck() {
    // Released after the scan: ending a conversation may dispatch messages.
    std::vector<Parked> answered;
    std::erase_if(parked_, [&](Parked& parked) {
        if (PartnerHung(parked.conv)) return false;
        answered.push_back(std::move(parked));
        return true;
    });
}

}  // namespace win32io
