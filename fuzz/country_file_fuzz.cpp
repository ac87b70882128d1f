// Arbitrary bytes as a country file: either a table or a CountryFileError naming a line of the
// text, never anything else; the table then answers look-ups of calls in every form.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "bridges/cluster/core/call_country.h"
#include "bridges/cluster/core/country_table.h"

namespace {

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "country_file_fuzz: %s\n", what);
    std::abort();
}

void LookUp(const cluster::CountryTable& table, std::string_view call) {
    const cluster::CallLookup lookup = cluster::LookUpCall(table, call);
    Check(lookup.where.has_value() == (lookup.outcome == cluster::CallOutcome::Found),
          "a place without Found, or the reverse");
    if (lookup.where) Check(lookup.where->country != nullptr, "a place without a country");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t lines =
        static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    try {
        const cluster::CountryTable table = cluster::CountryTable::Parse(text, "fuzz.dat");
        Check(!table.Countries().empty(), "a table without countries");
        for (const char* call : {"DL1ABC", "W1ABC/4", "DL/W1ABC", "W1ABC/MM", "KG4AB", "KG4ABC",
                                 "A1B/P", "9M2/PG5M-#", "X"})
            LookUp(table, call);
        // Words of the input as calls.
        for (std::size_t at = 0; at < text.size(); at += 7) LookUp(table, text.substr(at, 9));
    } catch (const cluster::CountryFileError& error) {
        Check(error.File() == "fuzz.dat", "an error naming another file");
        Check(error.Line() <= lines, "an error on a line the text does not have");
    }
    return 0;
}
