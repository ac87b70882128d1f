#pragma once
// What the measuring driver, the peers and the floor programs agree on: the window title, the two
// azimuth reports and the colours that show them, the host's spot lines, and the events through
// which the peers say they are ready and the host peer is told to publish and says it has.
#include <string>

namespace perf {

inline constexpr char kTitle[] = "Vantro32 V1.0   Halvik May, 2000";

// The rotator peer answers the first "GA:" of each conversation with kEast, then alternates.
inline constexpr char kEast[] = "RA:90";
inline constexpr char kWest[] = "RA:270";

// The floor client paints its whole window in the colour of the last report (RGB as COLORREF).
inline constexpr unsigned long kEastColour = 0x0000FF;  // red: the pointer's colour
inline constexpr unsigned long kWestColour = 0xFFFF00;  // cyan: the compass disc's colour

// The host peer's spot lines, each with its line end.
inline std::string SpotLine(long i) {
    const std::string separator = "\xFF";
    return "DL1AA" + separator + (i % 2 ? "K1ABC" : "JA1XYZ") + separator + "14025.0" + separator +
           "0" + separator + "1234Z" + separator + std::to_string(i % 360) + separator +
           std::to_string(1000 + i % 9000) + separator + "0\r\n";
}

inline constexpr char kPublishEvent[] = "vantro32-perf-publish";
inline constexpr char kPublishedEvent[] = "vantro32-perf-published";
inline constexpr char kPeerReadyEvent[] = "vantro32-perf-peer-ready";

}  // namespace perf
