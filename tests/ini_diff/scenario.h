#pragma once
// A scenario of the differential test: a settings file as it stands before, a sequence of reads
// and writes, and what they give. Run through either backend, it yields an Outcome that must match
// the other backend's and, for the table, the one the table expects.
#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "profile_backends.h"

namespace ini_diff {

// What stands at the settings file's path before the first step.
enum class Before {
    kFile,           // a file holding the bytes
    kNoFile,         // nothing
    kReadOnlyFile,   // a file holding the bytes, marked read-only
    kFolder,         // a folder of that name
    kMissingFolder,  // the file's folder does not exist
};

struct Step {
    bool isRead = true;
    std::string section;
    std::string key;
    std::string text;        // the default of a read, the value of a write
    std::size_t size = 500;  // a read's buffer size; the program always reads with 500
    std::string value;       // what a read should give
    bool ok = true;          // what a write should return
};

// A read as the program makes it, with its 500-character buffer.
Step Read(std::string section, std::string key, std::string defaultValue, std::string value);
Step ReadSized(std::string section, std::string key, std::string defaultValue, std::size_t size,
               std::string value);
Step Write(std::string section, std::string key, std::string value, bool ok = true);

struct Scenario {
    std::string name;
    Before before = Before::kFile;
    std::string bytes;  // the file's bytes before
    std::vector<Step> steps;
    std::optional<std::string> after;  // the file's bytes after; none when no file stands there
};

struct StepOutcome {
    bool isRead = true;
    ReadResult read;
    bool ok = true;
    bool operator==(const StepOutcome&) const = default;
};

struct Outcome {
    std::vector<StepOutcome> steps;
    std::optional<std::string> after;
    bool operator==(const Outcome&) const = default;
};

// Runs the scenario in folder, which must exist and be empty, and removes what it made there.
Outcome RunScenario(const ProfileBackend& backend, const Scenario& scenario,
                    const std::string& folder);

// The outcome the scenario's own expectations describe.
Outcome Expected(const Scenario& scenario);

// Whether this process may write into a read-only file (as root under Wine, or an administrator):
// then read-only cases cannot show a failing write.
bool ReadOnlyFilesAreWritable(const std::string& folder);

// Readable text for failure messages; bytes outside printable ASCII as \xHH, long files shortened.
std::string Show(const std::string& bytes);
void PrintTo(const Outcome& outcome, std::ostream* out);
void PrintTo(const Scenario& scenario, std::ostream* out);  // its name
std::string Describe(const Scenario& scenario);             // its file before and its steps

}  // namespace ini_diff
