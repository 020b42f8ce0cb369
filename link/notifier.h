#pragma once
// The few message boxes that the device link itself raises ("Valid Network
// Address range is 1 - 254", "error %d"): plain OK boxes with the
// application's title. The user interface implements this; tests record.

#include <string>

namespace corvel {

class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showMessage(const std::string& text) = 0;
};

// Drops every message (the command-line tool reports through its own output).
class SilentNotifier final : public Notifier {
public:
    void showMessage(const std::string&) override {}
};

}  // namespace corvel
