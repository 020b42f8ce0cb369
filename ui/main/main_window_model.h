#pragma once
// The main window's actions other than Find Device, without widgets: opening
// the window (with its writes to the settings store), the interface choice,
// Set New Address, Reflash Firmware and Exit.

#include <optional>

#include "app/comm_settings.h"
#include "link/device_session.h"
#include "ui/support/launcher.h"
#include "ui/main/main_window_state.h"
#include "ui/support/prompter.h"
#include "app/stored_settings.h"

namespace corvel {

inline constexpr const char* kReflashToolFileName = "ZR Reflash Utility.exe";
inline constexpr const char* kChangeAddressQuestion = "Are you sure you want to change the network address?";
inline constexpr const char* kAddressRangeText = "Please enter an integer between 0 and 255.";

struct MainWindowServices {
    DeviceSession& session;
    CommSettings& comm;
    StoredSettings& store;
    Prompter& prompter;
    Launcher& launcher;
};

class MainWindowModel {
public:
    explicit MainWindowModel(MainWindowServices services) : s_(services) {}

    // Everything the window does to its state and the store when it opens.
    void open(MainWindowState& state);
    void chooseUsb(MainWindowState& state);
    void chooseRs232(MainWindowState& state);
    void chooseRs485(MainWindowState& state);
    // `enteredAddress`: the address field's value, empty when it holds no
    // integer 0 .. 255.
    void setNewAddress(MainWindowState& state, std::optional<int> enteredAddress);
    // The Options entry for replies that fail their checks, kept between runs.
    void setAcceptDamagedReplies(bool accept);
    void reflashFirmware();
    void exit();

private:
    void saveSettings();
    void writeBaudRate(const std::string& text);
    void selectBaud(const char* text);

    MainWindowServices s_;
};

// The address field's text as an address 0 .. 255, or empty.
std::optional<int> ParseAddressField(std::string_view text);

}  // namespace corvel
