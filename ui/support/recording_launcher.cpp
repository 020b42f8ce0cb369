#include "ui/support/recording_launcher.h"

namespace corvel {

bool RecordingLauncher::open(const std::string& fileName) {
    opened_.push_back(fileName);
    if (hook_) hook_(fileName);
    return true;
}

}  // namespace corvel
