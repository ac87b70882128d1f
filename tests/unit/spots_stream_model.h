#pragma once
// A plain model of what the intake makes of a whole stream of host text, used to check the real
// intake under any chunking: the lines in order, those longer than spots::kLongestLine left out,
// and the text after the last line end.
#include <string>
#include <string_view>
#include <vector>

#include "spots/take_line.h"

namespace spots_test {

struct CutStream {
    std::vector<std::string> lines;
    std::string rest;
};

inline CutStream CutWhole(std::string_view stream) {
    CutStream cut;
    for (std::size_t end; (end = stream.find("\r\n")) != std::string_view::npos;) {
        if (end <= spots::kLongestLine) cut.lines.emplace_back(stream.substr(0, end));
        stream.remove_prefix(end + 2);
    }
    cut.rest = stream;
    return cut;
}

// What may still wait after the whole stream: a rest too long to be a line keeps only its end.
inline std::string WaitingRest(const CutStream& cut) {
    const std::size_t keep = spots::kLongestLine + 2;
    return cut.rest.size() <= keep ? cut.rest : cut.rest.substr(cut.rest.size() - keep);
}

}  // namespace spots_test
