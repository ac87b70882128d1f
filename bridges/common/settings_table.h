#pragma once
// A companion's settings, each declared once in a table: its key in the settings file, its
// option on the command line, its help, how a settings dialog shows it, and how its text is
// checked and taken into the program's settings. The command line, the settings file, the usage
// text, the dialog's current values and the dialog's check all read the same table, so that
// none of them can drift from the others. Portable: no Windows header.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/failure.h"

namespace bridges {

// A setting that is missing or not usable, or a command line that cannot be read. The text
// names the setting and where it came from; Key() is the setting at fault (empty when the fault
// is in no setting, such as an unknown option) and Why() the reason alone, for a dialog that
// names the field itself.
class SettingsError : public base::Failure {
  public:
    SettingsError(std::string key, std::string why, const std::string& description);
    const std::string& Key() const { return key_; }
    const std::string& Why() const { return why_; }

  private:
    std::string key_;
    std::string why_;
};

// Where setting texts come from: a key (upper case, "NODE_HOST") to its text, nothing when the
// key is not there.
class SettingSource {
  public:
    virtual ~SettingSource() = default;
    virtual std::optional<std::string> Text(const std::string& key) const = 0;
    // How messages name the source: "the command line", "C:\Radio\clusterbridge.INI".
    virtual std::string Name() const = 0;
    // How messages say where one setting came from: "NODE_HOST in clusterbridge.INI".
    virtual std::string Origin(const std::string& key, const std::string& option) const;
};

class MapSettings : public SettingSource {
  public:
    MapSettings(std::string name, std::map<std::string, std::string> values)
        : name_(std::move(name)), values_(std::move(values)) {}
    std::optional<std::string> Text(const std::string& key) const override;
    std::string Name() const override { return name_; }

  private:
    std::string name_;
    std::map<std::string, std::string> values_;
};

// The options given on the command line: "option --node-host" in messages.
class CommandLineSettings : public MapSettings {
  public:
    explicit CommandLineSettings(std::map<std::string, std::string> values)
        : MapSettings("the command line", std::move(values)) {}
    std::string Origin(const std::string& key, const std::string& option) const override;
};

// The control a settings dialog gives a setting.
enum class FieldKind {
    Text,
    Number,
    OnOff,     // a check box; the file holds "on" or "off"
    Choice,    // one of a fixed list of values (SettingField::choices)
    Password,  // text shown hidden
    FilePath,
    List,  // several values in one text
};

// What a table knows of a setting, whatever the program's settings are.
struct FieldInfo {
    FieldInfo(std::string key, std::string option, std::string valueName, std::string help,
              std::string label, FieldKind kind = FieldKind::Text)
        : key(std::move(key)),
          option(std::move(option)),
          valueName(std::move(valueName)),
          help(std::move(help)),
          label(std::move(label)),
          kind(kind) {}
    // A setting without a default: the program cannot start without it. The example is the
    // value messages suggest.
    FieldInfo Needed(std::string exampleValue) && {
        needed = true;
        example = std::move(exampleValue);
        return std::move(*this);
    }
    // A Choice of these values, as the file holds them.
    FieldInfo OneOf(std::vector<std::string> values) && {
        kind = FieldKind::Choice;
        choices = std::move(values);
        return std::move(*this);
    }

    std::string key;        // "NODE_HOST", in the settings file
    std::string option;     // "--node-host", on the command line
    std::string valueName;  // "HOST", after the option in the usage text
    std::string help;       // "the node's address", in the usage text
    std::string label;      // "Node &address", in a dialog; '&' marks the access key
    FieldKind kind;
    std::vector<std::string> choices;  // Choice: the values
    bool needed = false;
    std::string example;  // needed settings: an example value
};

template <class Settings>
struct SettingField : FieldInfo {
    // Takes the setting's text (blanks at both ends removed, never empty) into the settings;
    // returns why the text is not usable, empty when it is.
    std::function<std::string(const std::string& text, Settings& settings)> apply;
    // The setting's value as text, as the settings file holds it ("7300", "on", "all"); the
    // value of default-made settings is the setting's default.
    std::function<std::string(const Settings& settings)> show;
};

// A help request on the command line: "--help", "-h" or "/?" anywhere.
bool AsksForHelp(const std::vector<std::string>& arguments);

// The parts of a table that do not depend on the program's settings.
class FieldTable {
  public:
    const std::vector<const FieldInfo*>& Infos() const { return infos_; }
    const FieldInfo* Find(std::string_view key) const;

    // "--option value" pairs, each option a setting's; the last one given wins. Throws
    // SettingsError for an unknown option or one without its value.
    CommandLineSettings CommandLine(const std::vector<std::string>& arguments) const;

  protected:
    void Add(const FieldInfo& info) { infos_.push_back(&info); }
    // The usage lines of the options, with the default of each (in the order of Infos()).
    std::string UsageLines(const std::vector<std::string>& defaults) const;
    // The text of a setting from the first source that has one, blanks at both ends removed;
    // an empty text is none (the default stays). The source is given in *from.
    static std::optional<std::string> TextOf(const FieldInfo& info,
                                             const std::vector<const SettingSource*>& sources,
                                             const SettingSource** from);
    [[noreturn]] static void Missing(const FieldInfo& info, const std::string& fileName);
    [[noreturn]] static void NotUsable(const FieldInfo& info, const std::string& text,
                                       const SettingSource& from, const std::string& why);

  private:
    std::vector<const FieldInfo*> infos_;
};

template <class Settings>
class SettingsTable : public FieldTable {
  public:
    explicit SettingsTable(std::vector<SettingField<Settings>> fields)
        : fields_(std::move(fields)) {
        for (const SettingField<Settings>& field : fields_) Add(field);
    }
    SettingsTable(const SettingsTable&) = delete;  // Infos() points into the fields
    SettingsTable& operator=(const SettingsTable&) = delete;

    const std::vector<SettingField<Settings>>& Fields() const { return fields_; }

    // The settings: each from the command line or, failing that, from the file; the default
    // when neither has it. Throws SettingsError for the first setting that is missing or not
    // usable, naming it and where it came from.
    Settings Read(const SettingSource& commandLine, const SettingSource& file) const {
        return ReadFrom({&commandLine, &file}, file.Name());
    }

    // Checks a whole set of texts (a dialog's fields): the first problem, with the key of the
    // setting at fault; nothing when the texts make usable settings.
    std::optional<SettingsError> Check(const SettingSource& texts) const {
        try {
            ReadFrom({&texts}, texts.Name());
        } catch (const SettingsError& problem) {
            return problem;
        }
        return std::nullopt;
    }

    // Every setting's value as text, key to text, as the file would hold them.
    std::map<std::string, std::string> Texts(const Settings& settings) const {
        std::map<std::string, std::string> texts;
        for (const SettingField<Settings>& field : fields_) texts[field.key] = field.show(settings);
        return texts;
    }

    // One line for each setting: option, value, key, help and default.
    std::string Usage() const {
        const Settings settings{};
        std::vector<std::string> defaults;
        for (const SettingField<Settings>& field : fields_)
            defaults.push_back(field.show(settings));
        return UsageLines(defaults);
    }

  private:
    Settings ReadFrom(const std::vector<const SettingSource*>& sources,
                      const std::string& fileName) const {
        Settings settings{};
        for (const SettingField<Settings>& field : fields_) {
            const SettingSource* from = nullptr;
            const std::optional<std::string> text = TextOf(field, sources, &from);
            if (!text) {
                if (field.needed) Missing(field, fileName);
                continue;
            }
            if (const std::string why = field.apply(*text, settings); !why.empty())
                NotUsable(field, *text, *from, why);
        }
        return settings;
    }

    std::vector<SettingField<Settings>> fields_;
};

}  // namespace bridges
