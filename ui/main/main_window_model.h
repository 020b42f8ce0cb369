#pragma once
// The main window without its widgets: opening the window (with its writes to
// the settings store), the interface choice, Find Device, Set New Address,
// Reflash Firmware, the user guide and Exit. It keeps what the window shows in its state().

#include <optional>

#include "app/comm_settings.h"
#include "link/device_session.h"
#include "ui/support/launcher.h"
#include "ui/main/device_discovery.h"
#include "ui/main/main_window_state.h"
#include "ui/support/prompter.h"
#include "app/stored_settings.h"
#include "ui/support/window_host.h"

namespace corvel {

inline constexpr const char* kReflashToolFileName = "ZR Reflash Utility.exe";
// The user guide's first page, from the utility's folder: the build tree and
// the installed tree both keep the guide there.
inline constexpr const char* kUserGuideFileName = "../share/doc/corvel-setup/guide/index.html";
inline constexpr const char* kUserGuideMenuText = "User guide";
inline constexpr const char* kChangeAddressQuestion = "Are you sure you want to change the network address?";
inline constexpr const char* kAddressRangeText = "Please enter an integer between 0 and 255.";

struct MainWindowServices {
    DeviceSession& session;
    CommSettings& comm;
    StoredSettings& store;
    Prompter& prompter;
    Launcher& launcher;
    ConnectDialogs& connectDialogs;
    WindowHost& host;
};

class MainWindowModel {
public:
    explicit MainWindowModel(MainWindowServices services);

    const MainWindowState& state() const { return state_; }

    // Everything the window does to its state and the store when it opens.
    void open();
    // The address field's value, taken before an interface choice; empty when
    // the field holds no integer 0 .. 255 (the value before stays then).
    void takeAddressField(std::optional<int> typedAddress);
    void chooseUsb();
    void chooseRs232();
    void chooseRs485();
    SearchOutcome findDevice() { return discovery_.findDevice(state_); }
    // Selects a transmitter from the line inventory, on its interface, as
    // Find Device's acceptance does.
    SearchOutcome selectListed(const ListedTransmitter& listed);
    // `enteredAddress`: the address field's value, empty when it holds no
    // integer 0 .. 255.
    void setNewAddress(std::optional<int> enteredAddress);
    // The Options entry for replies that fail their checks, kept between runs.
    void setAcceptDamagedReplies(bool accept);
    void reflashFirmware();
    // Help > User guide: the guide's pages in the browser.
    void openUserGuide();
    void exit();

private:
    // Opens `fileName` through the launcher; where it is found nowhere, tells
    // the operator what was looked for and where, with `advice` after.
    void launch(const std::string& what, const char* fileName, const std::string& advice);
    void saveSettings();
    void writeBaudRate(const std::string& text);
    void selectBaud(const char* text);

    MainWindowServices s_;
    MainWindowState state_;
    DeviceDiscovery discovery_;
};

// The address field's text as an address 0 .. 255, or empty.
std::optional<int> ParseAddressField(std::string_view text);

}  // namespace corvel
