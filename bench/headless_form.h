#pragma once
// The window loaded on the headless backend, as the program starts it, with a folder of its own for
// the settings file (removed afterwards). No DDE server answers: the links stay down.
#include <filesystem>
#include <memory>
#include <string>

#include "app/frmRCI.h"
#include "platform/headless/testing.h"

namespace bench {

class HeadlessForm {
  public:
    explicit HeadlessForm(const std::string& name)
        : folder_(std::filesystem::temp_directory_path() / ("vantro32-bench-" + name)) {
        std::filesystem::create_directories(folder_);
        platform::headless::Config config;
        config.programDirectory = folder_.string();
        platform::headless::Reset(config);
        form_ = std::make_unique<frmRCI>();
        form_->Form_Load();
    }
    ~HeadlessForm() {
        form_.reset();
        std::filesystem::remove_all(folder_);
    }
    HeadlessForm(const HeadlessForm&) = delete;
    HeadlessForm& operator=(const HeadlessForm&) = delete;

    frmRCI& operator*() { return *form_; }
    frmRCI* operator->() { return form_.get(); }

  private:
    std::filesystem::path folder_;
    std::unique_ptr<frmRCI> form_;
};

}  // namespace bench
