#include "win32io/src/dde_parking.h"

#include <utility>
#include <vector>

#include "win32io/dde_handles.h"
#include "win32io/message_window.h"

namespace win32io {

namespace {
constexpr UINT kProbeMs = 100;
constexpr UINT kRecheckMs = 500;
constexpr UINT_PTR kRecheckTimer = 1;

class ParkingLot {
  public:
    ParkingLot()
        : window_([this](UINT message, WPARAM, LPARAM) {
              if (message == WM_TIMER) Recheck();
          }) {}

    void Add(std::shared_ptr<void> owner, HCONV conv) {
        parked_.push_back({std::move(owner), conv});
        window_.StartTimer(kRecheckTimer, kRecheckMs);
    }

  private:
    struct Parked {
        std::shared_ptr<void> owner;
        HCONV conv;
    };

    void Recheck() {
        // Released after the scan: ending a conversation may dispatch messages.
        std::vector<Parked> answered;
        std::erase_if(parked_, [&](Parked& parked) {
            if (PartnerHung(parked.conv)) return false;
            answered.push_back(std::move(parked));
            return true;
        });
        if (parked_.empty()) window_.StopTimer(kRecheckTimer);
    }

    std::vector<Parked> parked_;
    MessageWindow window_;
};

ParkingLot& Lot() {
    // Never destroyed: releasing a conversation to a hung server at exit would block.
    static ParkingLot* lot = new ParkingLot;
    return *lot;
}
}  // namespace

bool PartnerHung(HCONV conv) {
    const std::optional<CONVINFO> info = ConversationInfo(conv);
    if (!info || !IsWindow(info->hwndPartner)) return false;
    DWORD_PTR result = 0;
    return !SendMessageTimeoutA(info->hwndPartner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                                kProbeMs, &result);
}

void ParkConversation(std::shared_ptr<void> owner, HCONV conv) {
    Lot().Add(std::move(owner), conv);
}

}  // namespace win32io
