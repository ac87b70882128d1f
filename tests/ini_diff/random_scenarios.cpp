// Random files made of odd lines and line ends, and random reads and writes on them: names in
// other cases and with blanks, comments, quotes, missing '=', long values, tiny buffers.
#include <random>
#include <string>

#include "scenarios.h"

namespace ini_diff {
namespace {

const std::vector<std::string> kLines = {"[SETUP]",
                                         "[setup]",
                                         "[ Setup ]",
                                         "[A]",
                                         "[a] junk",
                                         "[B",
                                         "[a]b]",
                                         "[Sec Two]",
                                         "[ SETUP",
                                         "LEFT=1",
                                         " left = 2 ",
                                         "TOP=\"3\"",
                                         "k='x'",
                                         "k=",
                                         "k",
                                         ";LEFT=9",
                                         "#k=1",
                                         "SHOW_ROTATOR=yes",
                                         "x=a ; b",
                                         "k=\"a",
                                         "\tk\t=\tv\t",
                                         "LEFT=\" in \"",
                                         "\x1ak=1",
                                         "k=\xe9",
                                         "LEFT=" + std::string(600, 'w'),
                                         "k = \"\"",
                                         "k='",
                                         "TOP",
                                         "  ; spaced comment  ",
                                         "a=b=c",
                                         "K=\"x\"y\""};
const std::vector<std::string> kLineEnds = {"\r\n",     "\n",   "\r",        "\n\n",
                                            "\r\n\r\n", "  \n", "\r\n\t\r\n"};
const std::vector<std::string> kSections = {"SETUP", "setup", " A ", "a]b",    "Sec Two",
                                            "",      "B",     "New", " Fresh "};
const std::vector<std::string> kKeys = {"LEFT",  "left", "k", " K ", "TOP",
                                        ";LEFT", "x",    "a", "new", " Pad "};
const std::vector<std::string> kDefaults = {"D", "<DEF>", "ab  ", "\"q\"", "", "  ", "'z'"};
const std::vector<std::string> kValues = {"1", "TRUE", " v ", "\"q\"", "", "a  ", "2", "x", "\t t"};
const std::vector<std::size_t> kSizes = {500, 500, 1, 2, 3, 4, 10};

class Draw {
  public:
    explicit Draw(unsigned seed) : engine_(seed) {}
    unsigned Below(unsigned count) { return engine_() % count; }
    bool OneIn(unsigned count) { return Below(count) == 0; }
    template <typename T>
    const T& From(const std::vector<T>& items) {
        return items[Below(static_cast<unsigned>(items.size()))];
    }

  private:
    std::mt19937 engine_;
};

// With a byte-order mark the profile functions take the file for UTF-8 and convert its values
// to the ANSI code page; the engine returns the bytes. Such files get plain ASCII only.
std::string LineFor(Draw& draw, bool utf8) {
    std::string line = draw.From(kLines);
    if (utf8 && line == "k=\xe9") line = "k=e";
    return line;
}

std::string RandomFile(Draw& draw) {
    const bool utf8 = draw.OneIn(10);
    std::string bytes = utf8 ? "\xEF\xBB\xBF" : "";
    const unsigned lines = draw.Below(9);
    for (unsigned i = 0; i < lines; ++i) bytes += LineFor(draw, utf8) + draw.From(kLineEnds);
    if (draw.OneIn(4)) bytes += LineFor(draw, utf8);  // a last line without its end
    return bytes;
}

Step RandomStep(Draw& draw) {
    const std::string& section = draw.From(kSections);
    const std::string& key = draw.From(kKeys);
    if (draw.OneIn(2)) return ReadSized(section, key, draw.From(kDefaults), draw.From(kSizes), {});
    return Write(section, key, draw.From(kValues));
}

}  // namespace

std::vector<Scenario> RandomScenarios(unsigned seed, int count) {
    Draw draw(seed);
    std::vector<Scenario> scenarios;
    for (int i = 0; i < count; ++i) {
        Scenario scenario;
        scenario.name = "random scenario " + std::to_string(i) + " of seed " + std::to_string(seed);
        if (draw.OneIn(10)) {
            scenario.before = Before::kNoFile;
        } else {
            scenario.bytes = RandomFile(draw);
        }
        const unsigned steps = 1 + draw.Below(4);
        for (unsigned j = 0; j < steps; ++j) scenario.steps.push_back(RandomStep(draw));
        scenarios.push_back(std::move(scenario));
    }
    return scenarios;
}

}  // namespace ini_diff
