#pragma once
// Ending a conversation whose server is hung blocks for about ten seconds in DdeDisconnect or
// DdeUninitialize (the partner never answers the terminate). The DDE thread never waits for that:
// every conversation it ends goes through here, and one whose partner is hung is parked and ended
// once the server answers again or is gone. Used on the DDE thread only.
#include <windows.h>

#include <ddeml.h>  // after windows.h, which it needs

#include <memory>
#include <vector>

namespace win32io {

class DdeParking {
  public:
    // Releases `owner`, which holds the conversation and its instance, at once when the partner
    // answers; else keeps it until Recheck finds the partner answering or gone.
    void End(std::shared_ptr<void> owner, HCONV conv);
    // Releases the parked conversations whose partner answers again or is gone. Not from inside
    // a DDE transaction: ending a conversation there would pull it from under DDEML.
    void Recheck();
    bool Empty() const { return parked_.empty(); }

  private:
    struct Parked {
        std::shared_ptr<void> owner;
        HCONV conv;
    };

    std::vector<Parked> parked_;
};

}  // namespace win32io
