#include "scenario.h"

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>

namespace ini_diff {
namespace {

namespace fs = std::filesystem;

constexpr const char* kFileName = "\\vantro32.INI";

void PutBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> GetBytes(const std::string& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void SetReadOnly(const std::string& path, bool readOnly) {
    SetFileAttributesA(path.c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

std::string PathFor(const Scenario& scenario, const std::string& folder) {
    return scenario.before == Before::kMissingFolder ? folder + "\\missing" + kFileName
                                                     : folder + kFileName;
}

void Prepare(const Scenario& scenario, const std::string& path) {
    switch (scenario.before) {
        case Before::kFile:
            PutBytes(path, scenario.bytes);
            break;
        case Before::kReadOnlyFile:
            PutBytes(path, scenario.bytes);
            SetReadOnly(path, true);
            break;
        case Before::kFolder:
            CreateDirectoryA(path.c_str(), nullptr);
            break;
        case Before::kNoFile:
        case Before::kMissingFolder:
            break;
    }
}

void Clean(const std::string& folder, const std::string& path) {
    SetReadOnly(path, false);
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        fs::remove_all(entry, ignored);
}

}  // namespace

Step Read(std::string section, std::string key, std::string defaultValue, std::string value) {
    return ReadSized(std::move(section), std::move(key), std::move(defaultValue), 500,
                     std::move(value));
}

Step ReadSized(std::string section, std::string key, std::string defaultValue, std::size_t size,
               std::string value) {
    return Step{
        true, std::move(section), std::move(key), std::move(defaultValue), size, std::move(value),
        true};
}

Step Write(std::string section, std::string key, std::string value, bool ok) {
    return Step{false, std::move(section), std::move(key), std::move(value), 0, {}, ok};
}

Outcome RunScenario(const ProfileBackend& backend, const Scenario& scenario,
                    const std::string& folder) {
    const std::string path = PathFor(scenario, folder);
    Prepare(scenario, path);
    Outcome outcome;
    for (const Step& step : scenario.steps) {
        StepOutcome result;
        result.isRead = step.isRead;
        if (step.isRead) {
            result.read = backend.Read(step.section, step.key, step.text, step.size, path);
        } else {
            result.ok = backend.Write(step.section, step.key, step.text, path);
        }
        outcome.steps.push_back(std::move(result));
    }
    outcome.after = GetBytes(path);
    Clean(folder, path);
    return outcome;
}

Outcome Expected(const Scenario& scenario) {
    Outcome outcome;
    for (const Step& step : scenario.steps) {
        StepOutcome result;
        result.isRead = step.isRead;
        if (step.isRead) {
            result.read = ReadResult{step.value.size(), step.value, true};
        } else {
            result.ok = step.ok;
        }
        outcome.steps.push_back(std::move(result));
    }
    outcome.after = scenario.after;
    return outcome;
}

bool ReadOnlyFilesAreWritable(const std::string& folder) {
    const std::string path = folder + "\\read-only-probe";
    PutBytes(path, "x");
    SetReadOnly(path, true);
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool writable = handle != INVALID_HANDLE_VALUE;
    if (writable) CloseHandle(handle);
    SetReadOnly(path, false);
    DeleteFileA(path.c_str());
    return writable;
}

std::string Show(const std::string& bytes) {
    constexpr std::size_t kShown = 600;
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
            out += escaped;
        }
    }
    if (bytes.size() > kShown) out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

namespace {

std::string Quoted(const std::string& bytes) {
    std::string text = "'";
    text += Show(bytes);
    text += '\'';
    return text;
}

}  // namespace

void PrintTo(const Outcome& outcome, std::ostream* out) {
    *out << "\n";
    for (std::size_t i = 0; i < outcome.steps.size(); ++i) {
        const StepOutcome& step = outcome.steps[i];
        *out << "  step " << i + 1 << ": ";
        if (step.isRead) {
            *out << "read " << step.read.count << " " << Quoted(step.read.text)
                 << (step.read.terminated ? "" : " without its NUL") << "\n";
        } else {
            *out << "write " << (step.ok ? "succeeded" : "failed") << "\n";
        }
    }
    *out << "  file after: " << (outcome.after ? Quoted(*outcome.after) : "none");
}

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

std::string Describe(const Scenario& scenario) {
    std::string text = scenario.name + "\n  file before: ";
    text += scenario.before == Before::kNoFile ? "none" : Quoted(scenario.bytes);
    for (const Step& step : scenario.steps) {
        text += step.isRead ? "\n  read [" : "\n  write [";
        text += step.section + "] " + Quoted(step.key);
        text += step.isRead ? " default " : " value ";
        text += Quoted(step.text);
        if (step.isRead) text += " size " + std::to_string(step.size);
    }
    return text;
}

}  // namespace ini_diff
