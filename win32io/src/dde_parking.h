#pragma once
// Ending a conversation whose server is hung blocks for about ten seconds in DdeDisconnect or
// DdeUninitialize (the partner never answers the terminate). A link never waits for that: every
// conversation it ends goes through here, and one whose partner is hung is parked and ended once
// the server answers again or is gone. One per thread that owns conversations, used on it.
#include <windows.h>

#include <ddeml.h>  // after windows.h, which it needs

#include <functional>
#include <memory>
#include <vector>

#include "win32io/message_window.h"

namespace win32io {

class DdeParking {
  public:
    DdeParking();
    DdeParking(const DdeParking&) = delete;
    DdeParking& operator=(const DdeParking&) = delete;

    // Releases `owner`, which holds the conversation and its instance, at once when the partner
    // answers, or else once it answers again or is gone.
    void End(std::shared_ptr<void> owner, HCONV conv);
    bool Empty() const { return parked_.empty(); }

    std::function<void()> onEmpty;  // the last parked conversation has been released

  private:
    struct Parked {
        std::shared_ptr<void> owner;
        HCONV conv;
    };

    void Recheck();

    std::vector<Parked> parked_;
    MessageWindow window_;
};

}  // namespace win32io
