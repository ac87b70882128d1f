#include "win32io/companion.h"

#include <windows.h>

#include <algorithm>

#include "win32io/message_window.h"
#include "win32io/module.h"
#include "win32io/profile_section.h"
#include "win32io/src/companion_output.h"
#include "win32io/src/companion_window.h"
#include "win32io/src/single_instance.h"
#include "win32io/tcp_connection.h"

namespace win32io {

namespace {

constexpr char kSettingsSection[] = "SETTINGS";
constexpr char kWindowSection[] = "WINDOW";

bool AskedForHelp(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& a) {
        return a == "--help" || a == "-h" || a == "/?" || a == "-?";
    });
}

// For scripts that start the program with an output: what a message box also says.
void SayOnStandardOutput(const std::string& text) {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE ||
        GetFileType(output) == FILE_TYPE_UNKNOWN)
        return;
    std::string bytes;
    for (const char c : text) bytes += c == '\n' ? std::string("\r\n") : std::string(1, c);
    bytes += "\r\n";
    DWORD written = 0;
    WriteFile(output, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

class Companion {
  public:
    Companion(const CompanionProgram& program, const std::vector<std::string>& arguments);
    int Run();

  private:
    std::string Title() const { return program_.title + " " + program_.version; }
    // Starts the bridge, asking for settings first while there is a problem with them; false
    // when the user cancels or the program must close meanwhile.
    bool Start(std::optional<SettingProblem> problem);
    std::optional<SettingTexts> AskForSettings(const std::optional<SettingProblem>& problem);
    void Save(const SettingTexts& texts);
    void OpenSettings();
    void About();
    // Ends in order: the bridge (its service withdrawn first), the window's placement saved,
    // then the window. With the dialog open, the dialog is cancelled and its caller ends.
    void Stop();
    void Fail(const std::exception& failure);

    const CompanionProgram& program_;
    ProfileSection settingsFile_;
    CompanionFrameOutput output_;
    SettingTexts texts_;
    CompanionWindow window_;
    std::unique_ptr<RunningCompanion> running_;
    bool inDialog_ = false;
    bool stopped_ = false;
    int exitCode_ = 0;
};

Companion::Companion(const CompanionProgram& program, const std::vector<std::string>& arguments)
    : program_(program),
      settingsFile_(FileBesideProgram(".INI"), kSettingsSection),
      output_(FileBesideProgram(".log")),
      texts_((output_.Line(program.name + " " + program.version + ": " + program.what),
              program.read(arguments,
                           [this](const std::string& key) { return settingsFile_.Read(key); }))),
      window_({program.name, Title(), program.statusLabels},
              ProfileSection(settingsFile_.Path(), kWindowSection)) {
    window_.onPending = [this] { output_.Deliver(); };
    window_.onSettings = [this] { OpenSettings(); };
    window_.onAbout = [this] { About(); };
    window_.onClose = [this] { Stop(); };
    window_.onEndSession = [this] {
        output_.Line("Windows ends the session");
        Stop();
    };
}

int Companion::Run() {
    output_.ShowIn(&window_);
    std::optional<SettingProblem> problem = program_.check(texts_);
    window_.Show(!problem);
    if (!Start(problem)) {
        output_.Line("ended without settings");
        Stop();
        return 0;
    }
    RunMessageLoop();
    return exitCode_;
}

bool Companion::Start(std::optional<SettingProblem> problem) {
    for (;;) {
        if (problem) {
            const std::optional<SettingTexts> chosen = AskForSettings(problem);
            if (!chosen) return false;
            texts_ = *chosen;
            Save(texts_);
        }
        try {
            running_ = program_.start(texts_, output_);
            return true;
        } catch (const SettingUnusable& unusable) {
            problem = SettingProblem{unusable.key, unusable.what()};
        }
    }
}

std::optional<SettingTexts> Companion::AskForSettings(
    const std::optional<SettingProblem>& problem) {
    if (problem) output_.Line("settings: " + problem->key + ": " + problem->text);
    inDialog_ = true;
    std::optional<SettingTexts> chosen =
        ShowSettingsDialog(window_.Handle(), program_.title + " Settings", program_.fields, texts_,
                           program_.check, problem);
    inDialog_ = false;
    if (stopped_) return std::nullopt;
    return chosen;
}

void Companion::Save(const SettingTexts& texts) {
    for (const SettingField& field : program_.fields) {
        const auto text = texts.find(field.key);
        if (text == texts.end() || settingsFile_.Write(field.key, text->second)) continue;
        const std::string problem = "The settings could not be written to " + settingsFile_.Path() +
                                    " (Windows error " + std::to_string(GetLastError()) +
                                    "). They apply until the program ends.";
        output_.Line(problem);
        MessageBoxA(window_.Handle(), problem.c_str(), Title().c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    output_.Line("settings written to " + settingsFile_.Path());
}

void Companion::OpenSettings() {
    if (inDialog_ || stopped_) return;
    const std::optional<SettingTexts> chosen = AskForSettings(std::nullopt);
    if (stopped_) return Stop();
    if (!chosen || *chosen == texts_) return;
    Save(*chosen);
    output_.Line("the new settings apply: starting again");
    const SettingTexts previous = texts_;
    texts_ = *chosen;
    try {
        running_.reset();
        if (Start(std::nullopt)) return;
        if (stopped_) return Stop();
        // Cancelled over a setting that cannot be used: what ran before runs again.
        texts_ = previous;
        running_ = program_.start(texts_, output_);
    } catch (const std::exception& failure) {
        Fail(failure);
    }
}

void Companion::About() {
    const std::string text = Title() + "\n" + program_.what +
                             "\n\nSettings: " + settingsFile_.Path() +
                             "\nLog: " + FileBesideProgram(".log") +
                             "\n\nPart of Vantro32. MIT licence, the Vantro32 authors.";
    MessageBoxA(window_.Handle(), text.c_str(), ("About " + program_.title).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

void Companion::Fail(const std::exception& failure) {
    output_.Line(std::string("cannot go on: ") + failure.what());
    MessageBoxA(window_.Handle(), failure.what(), Title().c_str(), MB_OK | MB_ICONERROR);
    exitCode_ = 1;
    Stop();
}

void Companion::Stop() {
    if (!stopped_) {
        stopped_ = true;
        running_.reset();
        window_.SavePlacement();
        output_.Line("closed");
    }
    if (inDialog_) {
        CancelSettingsDialog();
        return;
    }
    output_.ShowIn(nullptr);
    window_.Destroy();
}

}  // namespace

int RunCompanion(const CompanionProgram& program, int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string title = program.title + " " + program.version;
    if (AskedForHelp(arguments)) {
        SayOnStandardOutput(program.usage);
        MessageBoxA(nullptr, program.usage.c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    const SingleInstance instance(program.name);
    if (!instance.First()) {
        const bool found = BringRunningCopyForward(program.name);
        SayOnStandardOutput(program.name + (found ? " is running already: its window comes forward"
                                                  : " is running already"));
        return 0;
    }
    try {
        const WinsockSession winsock;
        Companion companion(program, arguments);
        return companion.Run();
    } catch (const std::exception& failure) {
        const std::string text = std::string(failure.what()) + "\n\n" + program.usage;
        SayOnStandardOutput(program.name + ": " + failure.what());
        MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
}

}  // namespace win32io
