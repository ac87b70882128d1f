#pragma once
// The names of the two DDE conversations Vantro32 holds, as the programs at their other ends
// offer them. Vantro32's links, the bridges that stand in for those programs, the simulators and
// the tests all take them from here.
#include <string>
#include <string_view>

namespace dde_names {

// The host (logging) program: the spot lines. It answers under either service name; Vantro32
// tries the first and then the second.
namespace host {
inline constexpr char kService[] = "WENDRA";
inline constexpr char kService32[] = "WENDRA32";
inline constexpr char kTopic[] = "WENDATA";
inline constexpr char kItem[] = "labDxSpot";
}  // namespace host

// The rotator program: "GA:"/"RA:" poked on the item, the azimuth reported on it.
namespace rotator {
inline constexpr char kService[] = "ARSWIN";
inline constexpr char kTopic[] = "RCI";
inline constexpr char kItem[] = "AZIMUTH";
}  // namespace rotator

// "SERVICE|TOPIC", as a link names its conversation.
inline std::string LinkTopic(std::string_view service, std::string_view topic) {
    return std::string(service) + "|" + std::string(topic);
}

// "SERVICE|TOPIC!ITEM": one item of a conversation, as the programs' messages name it.
inline std::string ItemAddress(std::string_view service, std::string_view topic,
                               std::string_view item) {
    return LinkTopic(service, topic) + "!" + std::string(item);
}

}  // namespace dde_names
