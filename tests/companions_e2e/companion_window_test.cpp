// The companions as a Windows user meets them: each a copy in a folder of its own, its window,
// its settings dialog, one copy at a time, its place kept, and an orderly end however it is
// ended. The rotator bridge runs before Hamlib's dummy rotctld.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/dde_names.h"
#include "console_process.h"
#include "dummy_rotctld.h"
#include "harness.h"
#include "unix_path.h"
#include "win32io/dde_link.h"

namespace companions_e2e {
namespace {

using bridge_e2e::DummyRotctld;

// A companion copied into a fresh folder, as a user unpacks it; removed with the object.
class CompanionFolder {
  public:
    explicit CompanionFolder(const std::string& program)
        : name_(std::filesystem::path(program).stem().string()) {
        static int made = 0;
        folder_ =
            std::filesystem::temp_directory_path() /
            (name_ + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made));
        std::filesystem::create_directories(folder_);
        std::filesystem::copy_file(program, folder_ / (name_ + ".exe"));
    }
    ~CompanionFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    CompanionFolder(const CompanionFolder&) = delete;
    CompanionFolder& operator=(const CompanionFolder&) = delete;

    std::string Path() const { return folder_.string(); }
    std::string Program() const { return (folder_ / (name_ + ".exe")).string(); }
    std::string SettingsText() const {
        std::ifstream file(folder_ / (name_ + ".INI"), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }
    void WriteSettings(const std::string& text) const {
        std::ofstream(folder_ / (name_ + ".INI"), std::ios::binary) << text;
    }
    // The program started in its folder, its output read.
    std::unique_ptr<e2e::ConsoleProcess> Start(const std::string& arguments = "") const {
        return std::make_unique<e2e::ConsoleProcess>(Program(), arguments,
                                                     e2e::ConsoleProcess::Options{false, Path()});
    }

  private:
    std::string name_;
    std::filesystem::path folder_;
};

std::string RotbridgeProgram() {
    return e2e::WindowsPath(COMPANIONS_E2E_ROTBRIDGE);
}

std::string Address(const DummyRotctld& rotctld) {
    return "127.0.0.1:" + std::to_string(rotctld.Port());
}

// A status line of a companion's window.
std::string Shows(const e2e::Hands& window, const std::string& label) {
    const HWND value = window.ControlAfter(label);
    return value ? e2e::TextOf(value) : "(no line " + label + ")";
}

// The settings dialog, opened from the menu as a user does: File, Settings...
e2e::Hands OpenSettings(const e2e::Hands& window) {
    window.Menu('f', 's');
    const auto dialog = window.WaitForMessageBox();
    if (!dialog) throw std::runtime_error("the settings dialog did not open");
    return e2e::Hands(window.ProcessId(), GetWindowThreadProcessId(dialog->dialog, nullptr),
                      dialog->dialog);
}

TEST(RotatorBridgeWindowTest, SettingsChangedWhileRunningAreCheckedWrittenAndConnectAtOnce) {
    DummyRotctld first;
    DummyRotctld second;
    const CompanionFolder folder(RotbridgeProgram());
    folder.WriteSettings("[SETTINGS]\r\nROTCTLD=" + Address(first) + "\r\n");
    const auto bridge = folder.Start();
    ASSERT_TRUE(bridge->WaitForLine("connected to rotctld at " + Address(first)))
        << bridge->Output();
    const e2e::Hands window = bridge->WaitForWindow("rotbridge");
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return Shows(window, "rotctld:") == Address(first) + ", connected";
    })) << Shows(window, "rotctld:");

    const e2e::Hands dialog = OpenSettings(window);
    EXPECT_EQ(e2e::TextOf(dialog.Window()), "Rotator Bridge Settings");
    const HWND address = dialog.ControlAfter("&rotctld address:");
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(e2e::TextOf(address), Address(first));

    // A bad address is named in the dialog, which stays open, and nothing is written.
    const std::string before = folder.SettingsText();
    dialog.Type(address, "127.0.0.1:99999");
    dialog.Click(dialog.Control("OK"));
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return dialog.Control(
                   "rotctld address: \"127.0.0.1:99999\" is not an address: give "
                   "host:port, as 127.0.0.1:4533") != nullptr;
    }));
    EXPECT_TRUE(IsWindow(dialog.Window()));
    EXPECT_EQ(folder.SettingsText(), before);

    // A good one is written and applies at once: a new connection, no restart.
    const std::size_t applied = bridge->LineCount();
    dialog.Type(address, Address(second));
    dialog.Click(dialog.Control("OK"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog.Window()); }));
    ASSERT_TRUE(bridge->WaitForLine("connected to rotctld at " + Address(second), applied))
        << bridge->Output();
    EXPECT_NE(folder.SettingsText().find("ROTCTLD=" + Address(second) + "\r\n"), std::string::npos)
        << folder.SettingsText();
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return Shows(window, "rotctld:") == Address(second) + ", connected";
    })) << Shows(window, "rotctld:");
    EXPECT_FALSE(bridge->ExitCode());
}

TEST(RotatorBridgeWindowTest, ASecondCopyBringsTheFirstForwardAndEndsWithZero) {
    DummyRotctld rotctld;
    const CompanionFolder folder(RotbridgeProgram());
    const auto first = folder.Start(Address(rotctld));
    const e2e::Hands window = first->WaitForWindow("rotbridge");
    // Minimised, it goes into the notification area.
    window.Minimize();
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window.Window()); }));

    const auto second = folder.Start(Address(rotctld));
    ASSERT_TRUE(second->WaitForExit()) << second->Output();
    EXPECT_EQ(second->ExitCode(), 0u);
    EXPECT_TRUE(second->WaitForLine("rotbridge is running already")) << second->Output();
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return IsWindowVisible(window.Window()) && !IsIconic(window.Window());
    })) << "the first copy's window did not come forward";
    // The service was offered once, by the first copy.
    EXPECT_EQ(second->Output().find("offering"), std::string::npos) << second->Output();
    EXPECT_FALSE(first->ExitCode());
}

TEST(RotatorBridgeWindowTest, TheSessionEndingWithdrawsTheServiceFirstAndEndsWithZero) {
    DummyRotctld rotctld;
    const CompanionFolder folder(RotbridgeProgram());
    const auto bridge = folder.Start(Address(rotctld));
    ASSERT_TRUE(bridge->WaitForLine("connected to rotctld")) << bridge->Output();
    const e2e::Hands window = bridge->WaitForWindow("rotbridge");
    win32io::DdeLink link;
    bool closed = false;
    link.onClose = [&] { closed = true; };
    link.Connect(dde_names::rotator::kService, dde_names::rotator::kTopic,
                 dde_names::rotator::kItem);

    EXPECT_TRUE(window.EndSession());
    ASSERT_TRUE(bridge->WaitForExit()) << bridge->Output();
    EXPECT_EQ(bridge->ExitCode(), 0u);
    EXPECT_TRUE(bridge->WaitForLine("Windows ends the session")) << bridge->Output();
    EXPECT_TRUE(bridge->Output().ends_with(" closed\n")) << bridge->Output();
    EXPECT_TRUE(e2e::WaitUntil([&] { return closed; })) << "the service was not withdrawn";
}

TEST(RotatorBridgeWindowTest, ThePlaceSizeAndMinimisedStateAreKeptInTwipsBesideTheProgram) {
    DummyRotctld rotctld;
    const CompanionFolder folder(RotbridgeProgram());
    {
        const auto bridge = folder.Start(Address(rotctld));
        const e2e::Hands window = bridge->WaitForWindow("rotbridge");
        ASSERT_TRUE(SetWindowPos(window.Window(), nullptr, 100, 80, 500, 350,
                                 SWP_NOZORDER | SWP_NOACTIVATE));
        window.Minimize();
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowVisible(window.Window()); }));
        window.Close();
        ASSERT_TRUE(bridge->WaitForExit()) << bridge->Output();
        EXPECT_EQ(bridge->ExitCode(), 0u);
    }
    const std::string saved = folder.SettingsText();
    for (const char* line : {"[WINDOW]\r\n", "LEFT=1500\r\n", "TOP=1200\r\n", "WIDTH=7500\r\n",
                             "HEIGHT=5250\r\n", "MINIMIZED=TRUE\r\n"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << " in\n" << saved;

    // Started again, it is where it was, still minimised; a click on its icon would bring it
    // back, as restoring does.
    const auto bridge = folder.Start(Address(rotctld));
    HWND window = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (window = FindWindowA("rotbridge", nullptr)); }));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(window) && !IsWindowVisible(window); }));
    const e2e::Hands hands(bridge->ProcessId(), GetWindowThreadProcessId(window, nullptr), window);
    hands.Restore();
    ASSERT_TRUE(e2e::WaitUntil([&] { return IsWindowVisible(window) && !IsIconic(window); }));
    const RECT place = hands.OuterRect();
    EXPECT_EQ(place.left, 100);
    EXPECT_EQ(place.top, 80);
    EXPECT_EQ(place.right - place.left, 500);
    EXPECT_EQ(place.bottom - place.top, 350);
}

}  // namespace
}  // namespace companions_e2e
