#pragma once
// A fresh headless world for each test: its own folder for the settings file, the window created
// and loaded as the program does it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "app/frmRCI.h"
#include "platform/headless/testing.h"

namespace headless = platform::headless;

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device seed;
        folder = std::filesystem::temp_directory_path() /
                 ("vantro32-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(folder);
        config.programDirectory = folder.string();
        headless::Reset(config);
    }
    void TearDown() override {
        form.reset();
        std::filesystem::remove_all(folder);
    }

    // Applies a changed configuration (screen, twips per pixel) before the window is created.
    void Reconfigure() {
        config.programDirectory = folder.string();
        headless::Reset(config);
    }

    frmRCI& Create() {
        form = std::make_unique<frmRCI>();
        return *form;
    }
    frmRCI& Start() {
        Create().Form_Load();
        return *form;
    }

    std::filesystem::path IniPath() const { return folder / (config.programName + ".INI"); }
    std::string IniText() const {
        std::ifstream in(IniPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void WriteIni(const std::string& text) const {
        std::ofstream(IniPath(), std::ios::binary) << text;
    }

    // Index of the first trace entry starting with `prefix`, or -1.
    static int TraceIndex(const std::string& prefix, int from = 0) {
        const auto& trace = headless::Trace();
        for (int i = std::max(from, 0); i < static_cast<int>(trace.size()); ++i)
            if (trace[static_cast<std::size_t>(i)].rfind(prefix, 0) == 0) return i;
        return -1;
    }
    static int TraceCount(const std::string& prefix) {
        const auto& trace = headless::Trace();
        return static_cast<int>(std::count_if(trace.begin(), trace.end(), [&](const auto& e) {
            return e.rfind(prefix, 0) == 0;
        }));
    }

    headless::Config config;
    std::filesystem::path folder;
    std::unique_ptr<frmRCI> form;
};
