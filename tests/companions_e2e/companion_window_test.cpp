// The companions as a Windows user meets them: each a copy in a folder of its own, its window,
// its settings dialog, one copy at a time, its place kept, and an orderly end however it is
// ended. The rotator bridge runs before Hamlib's dummy rotctld, the cluster bridge before the node
// simulator and with Vantro32.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/dde_names.h"
#include "console_process.h"
#include "dummy_rotctld.h"
#include "harness.h"
#include "tools/cluster_sim/node_simulator.h"
#include "unix_path.h"
#include "win32io/dde_link.h"
#include "win32io/tcp_connection.h"

namespace companions_e2e {
namespace {

using bridge_e2e::DummyRotctld;
using tools::NodeSimulator;
namespace host = dde_names::host;

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
    // Beside the program, as the release has it.
    void CopyBeside(const std::string& file) const {
        std::filesystem::copy_file(file, folder_ / std::filesystem::path(file).filename());
    }
    void WriteSettings(const std::string& text) const {
        std::ofstream(folder_ / (name_ + ".INI"), std::ios::binary) << text;
    }
    // The program started in its folder, its output read.
    std::unique_ptr<e2e::ConsoleProcess> Start(const std::string& arguments = "") const {
        return std::make_unique<e2e::ConsoleProcess>(Program(), arguments,
                                                     e2e::ConsoleProcess::Options{Path()});
    }

  private:
    std::string name_;
    std::filesystem::path folder_;
};

std::string RotbridgeProgram() {
    return e2e::WindowsPath(COMPANIONS_E2E_ROTBRIDGE);
}

std::string ClusterbridgeProgram() {
    return e2e::WindowsPath(COMPANIONS_E2E_CLUSTERBRIDGE);
}

// The cluster bridge in a folder of its own with the country file beside it, none of its settings
// written yet.
std::unique_ptr<CompanionFolder> ClusterbridgeFolder() {
    auto folder = std::make_unique<CompanionFolder>(ClusterbridgeProgram());
    folder->CopyBeside(
        (std::filesystem::path(ClusterbridgeProgram()).parent_path() / "cty.dat").string());
    return folder;
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
                   "rotctld address: \"127.0.0.1:99999\" is no address: give host:port") != nullptr;
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

// Options for scripts: --help shows the usage in a message box; an option the program does not
// know is named in one, with the usage, and the program ends with 1. Both say it on the output.
TEST(RotatorBridgeWindowTest, HelpAndAnUnknownOptionAreShownInAMessageBox) {
    const CompanionFolder folder(RotbridgeProgram());
    const auto answer = [](e2e::ConsoleProcess& process) {
        const e2e::Hands hands(process.ProcessId(), 0, nullptr);
        return hands.Answer();
    };
    const auto help = folder.Start("--help");
    const e2e::MessageBoxSeen usage = answer(*help);
    EXPECT_TRUE(usage.title.starts_with("Rotator Bridge ")) << usage.title;
    EXPECT_TRUE(usage.text.starts_with("usage: rotbridge [HOST[:PORT]]")) << usage.text;
    EXPECT_NE(usage.text.find("--rotctld HOST:PORT"), std::string::npos) << usage.text;
    ASSERT_TRUE(help->WaitForExit());
    EXPECT_EQ(help->ExitCode(), 0u);
    EXPECT_TRUE(help->WaitForLine("usage: rotbridge")) << help->Output();

    const auto unknown = folder.Start("--speed 3");
    const e2e::MessageBoxSeen refusal = answer(*unknown);
    EXPECT_TRUE(refusal.text.starts_with("unknown option \"--speed\"")) << refusal.text;
    ASSERT_TRUE(unknown->WaitForExit());
    EXPECT_EQ(unknown->ExitCode(), 1u);
    EXPECT_TRUE(unknown->WaitForLine("rotbridge: unknown option")) << unknown->Output();
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

// A station's first start: an empty folder, the dialog opens by itself and says what is needed;
// a bad locator is named and nothing written; then the settings are written, the bridge logs in
// and Vantro32 lists the node's spot.
TEST(ClusterBridgeWindowTest, TheFirstStartAsksForTheSettingsWritesThemAndVantro32ListsASpot) {
    const win32io::WinsockSession winsock;
    NodeSimulator node({});
    // Vantro32 first, so that Wine's desktop process is its child, not the bridge's.
    e2e::Program vantro32;
    EXPECT_EQ(vantro32.AnswerPeersNotFound().size(), 2u);
    const auto folder = ClusterbridgeFolder();
    const auto bridge = folder->Start();
    const e2e::Hands window = bridge->WaitForWindow("clusterbridge");
    const e2e::Hands dialog = [&] {
        const auto box = window.WaitForMessageBox();
        if (!box) throw std::runtime_error("no settings dialog at the first start");
        return e2e::Hands(window.ProcessId(), GetWindowThreadProcessId(box->dialog, nullptr),
                          box->dialog);
    }();
    EXPECT_EQ(e2e::TextOf(dialog.Window()), "Cluster Bridge Settings");
    EXPECT_NE(dialog.Control("Node address: it is needed, such as dxc.example.org"), nullptr);
    // Every setting is offered with its current value.
    EXPECT_EQ(e2e::TextOf(dialog.ControlAfter("Node &port:")), "7300");
    EXPECT_EQ(e2e::TextOf(dialog.ControlAfter("&Units:")), "km");
    const HWND skimmer = dialog.Control("&Skimmer spots");
    ASSERT_NE(skimmer, nullptr);
    EXPECT_EQ(SendMessageA(skimmer, BM_GETCHECK, 0, 0), BST_CHECKED);

    dialog.Type(dialog.ControlAfter("Node &address:"), "127.0.0.1");
    dialog.Type(dialog.ControlAfter("Node &port:"), std::to_string(node.Port()));
    dialog.Type(dialog.ControlAfter("&Call:"), "DL1ABC");
    dialog.Type(dialog.ControlAfter("Your &locator:"), "XX99");
    dialog.Click(dialog.Control("OK"));
    EXPECT_TRUE(
        e2e::WaitUntil([&] { return dialog.ControlStartingWith("Your locator: ") != nullptr; }));
    EXPECT_TRUE(IsWindow(dialog.Window()));
    EXPECT_EQ(folder->SettingsText(), "") << "written before the settings were usable";
    // The field at fault has the focus; an access key takes it to another field.
    EXPECT_EQ(dialog.Focus(), dialog.ControlAfter("Your &locator:"));
    dialog.PressAltKey('c');
    EXPECT_TRUE(e2e::WaitUntil([&] { return dialog.Focus() == dialog.ControlAfter("&Call:"); }));

    dialog.Type(dialog.ControlAfter("Your &locator:"), "JO62QM");
    dialog.Click(dialog.Control("OK"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog.Window()); }));
    ASSERT_TRUE(node.WaitForLogins(1, 20000)) << bridge->Output();
    EXPECT_EQ(node.Calls(), std::vector<std::string>{"DL1ABC"});
    const std::string settings = folder->SettingsText();
    for (const std::string& line :
         std::vector<std::string>{"[SETTINGS]\r\n", "NODE_HOST=127.0.0.1\r\n",
                                  "NODE_PORT=" + std::to_string(node.Port()) + "\r\n",
                                  "CALLSIGN=DL1ABC\r\n", "LOCATOR=JO62QM\r\n"})
        EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;

    // Vantro32 tries its host link again every five seconds; then the node's spot is listed,
    // with the heading and distance from JO62QM.
    ASSERT_TRUE(
        bridge->WaitForLine(std::string("a client holds a hot link on ") + host::kItem, 0, 20000))
        << bridge->Output();
    node.SendSpot({"W3LPL", "14025.0", "JA1ABC", "CQ", tools::UtcTime()});
    const HWND list = vantro32.StationList();
    EXPECT_TRUE(e2e::WaitUntil([&] {
        const auto lines = vantro32.ListLines(list);
        return lines.size() == 1 && lines[0] == "JA1ABC       14025.0   42   8790";
    })) << bridge->Output();
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return Shows(window, "Node:") == "127.0.0.1:" + std::to_string(node.Port()) + ", online" &&
               Shows(window, "Vantro32:") == "holds the spot link (WENDRA32)" &&
               Shows(window, "Spots:") == "1 received, 1 published";
    })) << Shows(window, "Node:")
        << " / " << Shows(window, "Vantro32:") << " / " << Shows(window, "Spots:");
    EXPECT_EQ(Shows(window, "Login:"), "DL1ABC");
}

// Settings changed while the bridge runs apply at once: the new node is logged into. Then Windows
// ends the session: the service is withdrawn, the node left, and the program ends with 0.
TEST(ClusterBridgeWindowTest, ANewNodeInTheDialogIsLoggedIntoAtOnceAndTheSessionEndEndsInOrder) {
    const win32io::WinsockSession winsock;
    NodeSimulator first({});
    NodeSimulator second({});
    const auto folder = ClusterbridgeFolder();
    folder->WriteSettings(
        "[SETTINGS]\r\nNODE_HOST=127.0.0.1\r\nNODE_PORT=" + std::to_string(first.Port()) +
        "\r\nCALLSIGN=DL1ABC\r\nLOCATOR=JO62QM\r\n");
    const auto bridge = folder->Start();
    ASSERT_TRUE(first.WaitForLogins(1, 20000)) << bridge->Output();
    const e2e::Hands window = bridge->WaitForWindow("clusterbridge");

    const e2e::Hands dialog = OpenSettings(window);
    const HWND port = dialog.ControlAfter("Node &port:");
    EXPECT_EQ(e2e::TextOf(port), std::to_string(first.Port()));
    dialog.Type(port, std::to_string(second.Port()));
    dialog.Click(dialog.Control("OK"));
    ASSERT_TRUE(second.WaitForLogins(1, 20000)) << bridge->Output();
    EXPECT_TRUE(bridge->WaitForLine("left 127.0.0.1:" + std::to_string(first.Port())))
        << bridge->Output();
    EXPECT_NE(folder->SettingsText().find("NODE_PORT=" + std::to_string(second.Port())),
              std::string::npos)
        << folder->SettingsText();
    EXPECT_EQ(first.Logins(), 1);

    win32io::DdeLink link;
    bool closed = false;
    link.onClose = [&] { closed = true; };
    link.Connect(host::kService32, host::kTopic, host::kItem);
    EXPECT_TRUE(window.EndSession());
    ASSERT_TRUE(bridge->WaitForExit()) << bridge->Output();
    EXPECT_EQ(bridge->ExitCode(), 0u);
    EXPECT_TRUE(e2e::WaitUntil([&] { return closed; })) << "the service was not withdrawn";
    const std::string said = bridge->Output();
    const std::size_t ending = said.find("Windows ends the session");
    ASSERT_NE(ending, std::string::npos) << said;
    EXPECT_NE(said.find("left 127.0.0.1:" + std::to_string(second.Port()), ending),
              std::string::npos)
        << said;
    EXPECT_TRUE(said.ends_with(" closed\n")) << said;
    const std::vector<std::string> heard = second.Heard();
    EXPECT_NE(std::find(heard.begin(), heard.end(), "bye"), heard.end()) << "the node was not left";
}

}  // namespace
}  // namespace companions_e2e
