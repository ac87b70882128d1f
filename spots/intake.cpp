// The spot intake: host text is collected as it arrives and handed on, one line per timer tick,
// to the station list. The same tick drives the retries of the two DDE links.
#include "app/frmRCI.h"
#include "spots/take_line.h"

namespace {
constexpr std::int16_t kTicksPerRetry = 10;  // 5 seconds at 500 ms a tick
}  // namespace

// Appended as it comes, whether or not the host link is up: nothing added between pieces,
// nothing trimmed (only a line already known to be too long is let go of, see take_line.h).
void frmRCI::labDDE_Change() {
    spots::ReceiveText(SpotBuffer, labDDE.Caption(), LineEnd);
}

void frmRCI::Timer1_Timer() {
    RetryTicks = static_cast<std::int16_t>(RetryTicks + 1);
    if (RetryTicks >= kTicksPerRetry) {
        RetryTicks = 0;
        if (!base::IsTrue(HostLinked)) ConnectHost(base::kFalse);
        if (!base::IsTrue(RotatorLinked)) ConnectRotator(base::kFalse);
    }

    // At most one line a tick, however much waits. The line leaves the buffer before AddSpot
    // sees it, so a spot that fails there is lost alone and the next tick goes on.
    if (base::IsTrue(HostLinked) && !SpotBuffer.Empty()) {
        if (std::optional<std::string> line = spots::TakeLine(SpotBuffer, LineEnd)) AddSpot(*line);
    }
}
