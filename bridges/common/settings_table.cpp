#include "bridges/common/settings_table.h"

#include <algorithm>

#include "base/text.h"

namespace bridges {

namespace {

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(width, text.size() + 1), ' ');
    return text;
}

}  // namespace

SettingsError::SettingsError(std::string key, std::string why, const std::string& description)
    : base::Failure(description), key_(std::move(key)), why_(std::move(why)) {}

std::string SettingSource::Origin(const std::string& key, const std::string&) const {
    return key + " in " + Name();
}

std::optional<std::string> MapSettings::Text(const std::string& key) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

std::string CommandLineSettings::Origin(const std::string&, const std::string& option) const {
    return "option " + option;
}

bool AsksForHelp(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return argument == "--help" || argument == "-h" || argument == "/?";
    });
}

const FieldInfo* FieldTable::Find(std::string_view key) const {
    for (const FieldInfo* info : infos_)
        if (info->key == key) return info;
    return nullptr;
}

CommandLineSettings FieldTable::CommandLine(const std::vector<std::string>& arguments) const {
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < arguments.size(); i += 2) {
        const std::string& option = arguments[i];
        const auto known = std::find_if(infos_.begin(), infos_.end(), [&](const FieldInfo* info) {
            return info->option == option;
        });
        if (known == infos_.end())
            throw SettingsError({}, "unknown option", "unknown option " + base::Quoted(option));
        if (i + 1 == arguments.size())
            throw SettingsError((*known)->key, "no value after the option",
                                "the option " + option + " needs a value after it");
        values[(*known)->key] = arguments[i + 1];
    }
    return CommandLineSettings(std::move(values));
}

std::string FieldTable::UsageLines(const std::vector<std::string>& defaults) const {
    std::size_t optionWidth = 0;
    std::size_t keyWidth = 0;
    for (const FieldInfo* info : infos_) {
        optionWidth = std::max(optionWidth, info->option.size() + 1 + info->valueName.size());
        keyWidth = std::max(keyWidth, info->key.size());
    }
    std::string lines;
    for (std::size_t i = 0; i < infos_.size(); ++i) {
        const FieldInfo& info = *infos_[i];
        lines += "  " + Padded(info.option + " " + info.valueName, optionWidth + 2) +
                 Padded(info.key, keyWidth + 2) + info.help;
        if (info.needed) {
            lines += " (needed)";
        } else if (!defaults[i].empty()) {
            lines += " (" + defaults[i] + ")";
        }
        lines += "\n";
    }
    return lines;
}

std::optional<std::string> FieldTable::TextOf(const FieldInfo& info,
                                              const std::vector<const SettingSource*>& sources,
                                              const SettingSource** from) {
    for (const SettingSource* source : sources) {
        if (const std::optional<std::string> text = source->Text(info.key)) {
            const std::string_view trimmed = base::TrimBlanks(*text);
            if (trimmed.empty()) return std::nullopt;  // "KEY=" keeps the default
            *from = source;
            return std::string(trimmed);
        }
    }
    return std::nullopt;
}

void FieldTable::Missing(const FieldInfo& info, const std::string& fileName) {
    throw SettingsError(info.key, "it is needed, such as " + info.example,
                        info.key + " is not set: write " + info.key + "=" + info.example + " in " +
                            fileName + ", or give " + info.option + " " + info.example +
                            " on the command line");
}

void FieldTable::NotUsable(const FieldInfo& info, const std::string& text,
                           const SettingSource& from, const std::string& why) {
    throw SettingsError(info.key, why,
                        info.key + " " + base::Quoted(text) + " (" +
                            from.Origin(info.key, info.option) + ") is not usable: " + why);
}

}  // namespace bridges
