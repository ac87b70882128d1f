#pragma once
// A loaded window in a fresh headless world of its own (its own folder for the settings file),
// and helpers to write spot lines, feed host text and read the station list.
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/frmRCI.h"
#include "headless_peers.h"
#include "platform/headless/testing.h"

namespace spots_test {

namespace headless = platform::headless;

// Fields joined by the host's separator, the byte 0xFF; no line end.
inline std::string Spot(std::initializer_list<std::string_view> fields) {
    std::string line;
    for (auto field = fields.begin(); field != fields.end(); ++field) {
        if (field != fields.begin()) line += '\xFF';
        line += *field;
    }
    return line;
}

// A well-formed spot whose list line shows `callsign`.
inline std::string Spot(std::string_view callsign, std::string_view units = "0") {
    return Spot({"DL1AA", callsign, "14025.0", "0", "1234Z", "47", "7311", units});
}

class SpotsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device seed;
        folder_ = std::filesystem::temp_directory_path() /
                  ("vantro32-spots-" + std::to_string(seed()) + "-" + std::to_string(seed()));
        std::filesystem::create_directories(folder_);
        headless::Config config;
        config.programDirectory = folder_.string();
        headless::Reset(config);
    }
    void TearDown() override {
        form_.reset();
        std::filesystem::remove_all(folder_);
    }

    // A new window after start-up (replacing any earlier one); neither program answers.
    frmRCI& Start() {
        form_.reset();
        form_ = std::make_unique<frmRCI>();
        form_->Form_Load();
        return *form_;
    }
    // The window after start-up with the host link up.
    frmRCI& StartLinked() {
        peers::AddHost();
        Start();
        EXPECT_TRUE(base::IsTrue(form_->HostLinked));
        return *form_;
    }

    // Host text received by labDDE, exactly as a published value arrives.
    void Receive(std::string_view text) { form_->labDDE.SetCaption(std::string(text)); }
    void Tick(int count = 1) {
        for (int i = 0; i < count; ++i) headless::Tick(form_->Timer1);
    }

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < form_->lstStations.ListCount(); ++i)
            lines.push_back(form_->lstStations.List(i));
        return lines;
    }
    // The callsign column of every list line, trimmed: a short way to state a list.
    std::vector<std::string> Callsigns() const {
        std::vector<std::string> calls;
        for (const std::string& line : Lines()) {
            std::string call = line.substr(0, 10);
            call.erase(call.find_last_not_of(' ') + 1);
            calls.push_back(call);
        }
        return calls;
    }

  private:
    std::filesystem::path folder_;
    std::unique_ptr<frmRCI> form_;
};

}  // namespace spots_test
