#pragma once
// The texts Vantro32 pokes on the AZIMUTH item: "GA:" and a heading, or "RA:" alone. The
// prefixes are upper case and nothing is added around the text.
#include <string>

namespace rotbridge {

struct PokeMessage {
    enum class Kind { Turn, Query, Unknown };
    Kind kind = Kind::Unknown;
    std::string heading;  // for Turn: everything after "GA:", unchecked
};

PokeMessage ReadPoke(const std::string& text);

}  // namespace rotbridge
