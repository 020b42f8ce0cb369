#pragma once
// A Launcher for tests: records the file names it was asked to open and can
// look at the settings store at that moment.

#include <functional>
#include <string>
#include <vector>

#include "ui/support/launcher.h"

namespace corvel {

class RecordingLauncher final : public Launcher {
public:
    // Every file is found.
    bool open(const std::string& fileName) override;
    std::string programFolder() const override { return "/opt/corvel/bin"; }
    void onOpen(std::function<void(const std::string&)> hook) { hook_ = std::move(hook); }
    const std::vector<std::string>& opened() const { return opened_; }

private:
    std::vector<std::string> opened_;
    std::function<void(const std::string&)> hook_;
};

}  // namespace corvel
