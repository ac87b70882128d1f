// The peer that both round-trip clients (the program and the floor client) talk to, and the host
// that fills the program's intake for the memory measurement. The same peer serves both sides of
// each comparison, so its own cost cancels out.
//   perf_peer rotator       ARSWIN|RCI: every "GA:" poked on AZIMUTH is answered, once the poke
//                           is acknowledged, with an azimuth report: kEast first in each
//                           conversation, then kWest, kEast, ...
//   perf_peer host [LINES]  WENDRA|WENDATA: when the driver sets kPublishEvent, publishes LINES
//                           spot lines on labDxSpot, many to a value, then sets kPublishedEvent
// Either sets kPeerReadyEvent once its service is offered, and runs until it is ended.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "base/dde_names.h"
#include "tools/perf/perf_shared.h"
#include "win32io/dde_server.h"

namespace {

constexpr long kLinesPerValue = 2000;

HANDLE Event(const char* name) {
    return CreateEventA(nullptr, FALSE, FALSE, name);
}

void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void Publish(win32io::DdeServer& host, long lines) {
    for (long first = 0; first < lines; first += kLinesPerValue) {
        std::string value;
        for (long i = first; i < lines && i < first + kLinesPerValue; ++i)
            value += perf::SpotLine(i);
        host.Publish(dde_names::host::kItem, value);
        Pump();  // the client's acknowledgements, so that values do not pile up
    }
}

// Pumps messages until the process is ended; `onSignal` runs each time `signal` is set.
template <typename OnSignal>
void Serve(HANDLE signal, OnSignal onSignal) {
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjects(signal ? 1 : 0, &signal, FALSE, INFINITE, QS_ALLINPUT);
        if (signal && woke == WAIT_OBJECT_0) onSignal();
        Pump();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string role = argc > 1 ? argv[1] : "";
    const HANDLE ready = Event(perf::kPeerReadyEvent);
    if (role == "rotator") {
        win32io::DdeServer rotator(dde_names::rotator::kService, dde_names::rotator::kTopic);
        int reports = 0;
        rotator.onConnect = [&] {
            reports = 0;
            return true;
        };
        rotator.onPoke = [&](const std::string& item, const std::string& text) {
            if (text.rfind("GA:", 0) == 0)
                rotator.PublishLater(item, reports++ % 2 ? perf::kWest : perf::kEast);
            return win32io::DdeServer::PokeReply::Accept;
        };
        SetEvent(ready);
        Serve(nullptr, [] {});
    } else if (role == "host") {
        const long lines = argc > 2 ? std::atol(argv[2]) : 0;
        win32io::DdeServer host(dde_names::host::kService, dde_names::host::kTopic);
        const HANDLE publish = Event(perf::kPublishEvent), published = Event(perf::kPublishedEvent);
        SetEvent(ready);
        Serve(publish, [&] {
            Publish(host, lines);
            SetEvent(published);
        });
    } else {
        return 2;
    }
    return 0;
}
