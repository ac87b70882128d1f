// Arbitrary bytes as a spot line: the field splitter, the list line, and AddSpot on a loaded
// window, whose list must stay within 100 lines and show exactly the spots that pass.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/frmRCI.h"
#include "base/failure.h"
#include "base/numeric.h"
#include "platform/headless/testing.h"
#include "spots/list_line.h"
#include "spots/spot_line.h"

namespace {

namespace headless = platform::headless;

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "spot_fuzz: %s\n", what);
    std::abort();
}

// One window for the whole run, so that the list fills up and meets its limit.
frmRCI& Window() {
    static const std::unique_ptr<frmRCI> form = [] {
        headless::Config config;
        config.programDirectory =
            (std::filesystem::temp_directory_path() / "vantro32-spot-fuzz").string();
        headless::Reset(config);
        auto made = std::make_unique<frmRCI>();
        made->Form_Load();
        return made;
    }();
    return *form;
}

void CheckFields(std::string_view line, const std::vector<std::string>& fields) {
    const auto separators = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\xFF'));
    if (separators == 0) {
        Check(fields.size() == (line.empty() ? 0u : 1u), "a text without separator is one field");
        Check(line.empty() || fields[0] == line, "a single field is the text as it is");
        return;
    }
    Check(fields.size() == separators || fields.size() == separators + 1, "field count");
    std::size_t characters = 0;
    for (const std::string& field : fields) {
        Check(field.find('\xFF') == std::string::npos, "a separator inside a field");
        Check(field.empty() || (field.front() != ' ' && field.back() != ' '), "untrimmed field");
        characters += field.size();
    }
    Check(characters + separators <= line.size(), "fields longer than the line");
    Check((fields.size() == separators) == (line.find_last_not_of(' ') == line.rfind('\xFF')),
          "an empty last field is left out, and only then");
}

void CheckListLine(const std::vector<std::string>& columns) {
    const std::string line = spots::ListLine(columns[0], columns[1], columns[2], columns[3]);
    Check(line.size() == spots::kListLineLength, "list line length");
    const auto right = [](std::string_view text, std::size_t width) {
        return text.size() >= width ? std::string(text.substr(text.size() - width))
                                    : std::string(width - text.size(), ' ') + std::string(text);
    };
    std::string callsign = columns[0].substr(0, 10);
    callsign.resize(10, ' ');
    Check(line.substr(0, 10) == callsign, "callsign column");
    Check(line.substr(10, 10) == right(columns[1], 10), "frequency column");
    Check(line.substr(20, 5) == right(columns[2], 5), "heading column");
    Check(line.substr(25, 7) == right(columns[3], 7), "distance column");
}

void CheckAddSpot(const std::string& line, const std::vector<std::string>& fields) {
    frmRCI& form = Window();
    platform::ListBox& list = form.lstStations;
    const int before = list.ListCount();
    const std::string caption = form.labDist.Caption();

    bool passes = fields.size() >= spots::kFieldsInSpot;
    if (passes) {
        try {
            passes = base::NumericValue(fields[spots::kListedField]) != spots::kNotListed;
        } catch (const base::Failure&) {
            // Unreadable (an overflow) is not the "do not list" mark: listed.
        }
    }
    try {
        form.AddSpot(line);
    } catch (const std::exception&) {
        Check(false, "AddSpot failed");
    }

    const int after = list.ListCount();
    Check(after <= 100, "more than 100 lines");
    if (!passes) {
        Check(after == before && form.labDist.Caption() == caption,
              "a dropped spot changed things");
        return;
    }
    Check(after == (before >= 100 ? before - 19 : before + 1), "lines added or removed");
    Check(list.ListIndex() == after - 1, "the new line is not selected");
    Check(list.List(after - 1) == spots::ListLine(fields[1], fields[2], fields[5], fields[6]),
          "the new line is not the spot's");
    Check(form.labDist.Caption() == (fields[7] == "0" ? " Dist.km" : "Dist.miles"), "caption");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> fields{"left over"};
    frmRCI::SplitFields(line, std::string(1, spots::kFieldSeparator), fields);
    CheckFields(line, fields);
    CheckListLine(fields.size() >= 4 ? fields : std::vector<std::string>(4, line));
    CheckAddSpot(line, fields);
    return 0;
}
