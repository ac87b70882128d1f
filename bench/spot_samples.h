#pragma once
// Host spot lines as the station list receives them (without their line end): eight fields
// separated by 0xFF, some padded with spaces as hosts send them, callsigns and frequencies of
// the usual lengths.
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

inline const std::vector<std::string>& SpotSamples() {
    static const std::vector<std::string> samples = [] {
        const char* calls[] = {"K1ABC", "VP8LZE", "JA1XYZ", "ZL2AB", "DL1AA/P", "PY2XX", "VK3ZZ"};
        const char* freqs[] = {"14025.0", "7012.5", "21074.0", "3525.1", "28495.0", "50313.0"};
        std::vector<std::string> made;
        for (int i = 0; i < 16; ++i) {
            std::string line = "DL1AA\xFF";
            line += calls[i % 7];
            line += i % 4 ? "\xFF" : "  \xFF ";
            line += freqs[i % 6];
            line +=
                "\xFF"
                "0\xFF"
                "1234Z\xFF";
            line += std::to_string(i * 22) + "\xFF" + std::to_string(1000 + i * 713) + "\xFF";
            line += i % 3 ? "0" : "1";
            made.push_back(line);
        }
        return made;
    }();
    return samples;
}

inline const std::string& SpotSample(std::size_t i) {
    return SpotSamples()[i % SpotSamples().size()];
}

}  // namespace bench
