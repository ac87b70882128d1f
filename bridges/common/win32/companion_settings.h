#pragma once
// A bridge's table of settings as its window's frame uses it: the dialog's fields, the texts the
// dialog starts from (the command line winning over the settings file, the default for what
// neither has), the check of a whole set of texts, and the settings those texts make.
#include <string>

#include "base/text.h"
#include "bridges/common/setting_words.h"
#include "bridges/common/settings_table.h"
#include "win32io/companion.h"

namespace bridges {

win32io::SettingField DialogField(const FieldInfo& info);

// The settings of texts that passed the table's check.
template <class Settings>
Settings SettingsOf(const SettingsTable<Settings>& table, const win32io::SettingTexts& texts) {
    return table.Read(MapSettings("the settings dialog", texts), MapSettings("", {}));
}

// Gives the program the table's fields, and how their texts are read and checked.
template <class Settings>
void UseSettingsTable(win32io::CompanionProgram& program, const SettingsTable<Settings>& table) {
    for (const FieldInfo* info : table.Infos()) program.fields.push_back(DialogField(*info));
    program.read = [&table](const std::vector<std::string>& arguments,
                            const win32io::SettingFileReader& file) {
        const CommandLineSettings commandLine = table.CommandLine(arguments);
        const Settings defaults{};
        win32io::SettingTexts texts;
        for (const SettingField<Settings>& field : table.Fields()) {
            // An empty text is none, as the table reads it.
            std::optional<std::string> text = commandLine.Text(field.key);
            if (!text || base::TrimBlanks(*text).empty()) text = file(field.key);
            texts[field.key] = text && !base::TrimBlanks(*text).empty()
                                   ? std::string(base::TrimBlanks(*text))
                                   : field.show(defaults);
        }
        return texts;
    };
    program.check = [&table](const win32io::SettingTexts& texts)
        -> std::optional<win32io::SettingProblem> {
        const std::optional<SettingsError> problem =
            table.Check(MapSettings("the settings dialog", texts));
        if (!problem) return std::nullopt;
        return win32io::SettingProblem{problem->Key(), problem->Why()};
    };
}

}  // namespace bridges
