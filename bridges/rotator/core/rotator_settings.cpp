#include "bridges/rotator/core/rotator_settings.h"

#include "base/text.h"

namespace rotbridge {

namespace {
constexpr char kOption[] = "--rotctld";
}  // namespace

const bridges::SettingsTable<RotatorSettings>& RotatorSettingsTable() {
    static const bridges::SettingsTable<RotatorSettings> table({
        {bridges::FieldInfo("ROTCTLD", kOption, "HOST:PORT",
                            "where Hamlib's rotctld listens, such as 127.0.0.1:4533",
                            "&rotctld address"),
         [](const std::string& text, RotatorSettings& s) -> std::string {
             const std::optional<RotctldAddress> address = ParseAddress(text);
             if (!address) return base::Quoted(text) + " is no address: give host:port";
             s.rotctld = *address;
             return {};
         },
         [](const RotatorSettings& s) { return s.rotctld.Text(); }},
    });
    return table;
}

std::vector<std::string> OptionsOf(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().starts_with("-")) return arguments;
    std::vector<std::string> options{kOption};
    options.insert(options.end(), arguments.begin(), arguments.end());
    return options;
}

}  // namespace rotbridge
