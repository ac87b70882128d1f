#include "bridges/rotator/core/poke_message.h"

namespace rotbridge {

PokeMessage ReadPoke(const std::string& text) {
    if (text.rfind("GA:", 0) == 0) return {PokeMessage::Kind::Turn, text.substr(3)};
    if (text == "RA:") return {PokeMessage::Kind::Query, {}};
    return {};
}

}  // namespace rotbridge
