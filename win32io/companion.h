#pragma once
// The frame of a companion program, the same for every bridge: a small window with the bridge's
// status lines and its log, a settings dialog made from the bridge's table of fields, one copy at
// a time, its icon in the notification area, and an orderly end. The bridge gives its fields, its
// status lines and how to start it; the frame does the rest.
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "win32io/settings_dialog.h"

namespace win32io {

// What a running bridge reports. Any thread.
class CompanionOutput {
  public:
    virtual ~CompanionOutput() = default;
    // One line of the log, with the local time: into the window's log, the log file beside the
    // program and, when the program was given one (a pipe, a file), its standard output.
    virtual void Line(const std::string& text) = 0;
    // The values of the status lines, in the order of the program's labels, and the state in a
    // few words for the notification area's tooltip.
    virtual void Status(const std::vector<std::string>& values, const std::string& summary) = 0;
};

// A bridge at work: made from the settings, it offers its service and does its work; destroyed,
// it ends in order (its DDE service withdrawn first).
class RunningCompanion {
  public:
    virtual ~RunningCompanion() = default;
};

// A setting that reads well but cannot be used (a country file that cannot be opened): thrown by
// the start, it is named in the settings dialog as a problem of that field.
class SettingUnusable : public std::runtime_error {
  public:
    SettingUnusable(std::string key, const std::string& why)
        : std::runtime_error(why), key(std::move(key)) {}
    std::string key;
};

// Reads one key of the settings file, nothing when it is not there.
using SettingFileReader = std::function<std::optional<std::string>(const std::string& key)>;

struct CompanionProgram {
    std::string name;   // the program file's name, "clusterbridge": its settings and log files
    std::string title;  // in plain words, "Cluster Bridge": the window's title, before the version
    std::string version;  // "1.0.0"
    std::string what;     // what it is, one line: the log's first line and the About box
    std::string usage;    // what --help shows
    std::vector<std::string> statusLabels;  // "Node:", "Login:", ...
    std::vector<SettingField> fields;       // in the dialog's order
    // The text of every field: from the arguments, else from the settings file, else its default.
    // Throws std::exception for arguments that cannot be read (an unknown option).
    std::function<SettingTexts(const std::vector<std::string>& arguments,
                               const SettingFileReader& file)>
        read;
    SettingCheck check;  // the first problem of a whole set of texts
    // Starts the bridge with the texts, which passed the check. Throws SettingUnusable for a
    // setting that cannot be used, any other exception for a failure to start (a DDE service
    // refused).
    std::function<std::unique_ptr<RunningCompanion>(const SettingTexts&, CompanionOutput&)> start;
};

// The program's main: "--help" shows the usage; a copy already running is brought to the front
// and this one ends with 0. Otherwise the window comes up and the log says what the program is;
// settings that are missing or unusable open the dialog first (Cancel there ends the program);
// the bridge starts and runs until the window is closed or Windows ends the session. Settings
// changed in the dialog are written to the settings file and applied at once: the bridge ends
// and starts again with them. Exit code 0, or 1 when the program could not start.
int RunCompanion(const CompanionProgram& program, int argc, char** argv);

}  // namespace win32io
