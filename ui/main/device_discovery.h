#pragma once
// Find Device: locates a transmitter on the chosen interface, offers each
// candidate to the operator and records the accepted one in the main window's
// state, the settings store and CommSettings.
//
// USB and RS-232 walk the serial ports until a device answers (a port scan);
// RS-485 walks the network addresses of a multidrop line (an address scan).
// Nothing here draws: questions go through the Prompter, the connect dialogs
// through ConnectDialogs, and the wait cursor, the address scan's progress
// with its Cancel and the window's values through the window host.

#include <optional>
#include <string>

#include "app/comm_settings.h"
#include "ui/main/connect_dialogs.h"
#include "link/device_session.h"
#include "ui/main/main_window_state.h"
#include "ui/support/prompter.h"
#include "app/stored_settings.h"
#include "ui/support/window_host.h"

namespace corvel {

inline constexpr const char* kNoDeviceFoundText = "No device found    ";
inline constexpr const char* kDeviceReadErrorText = "Device read error         ";
// Added when ports were skipped because this user may not open them: such a
// port was not searched, so the device may well be there.
inline constexpr const char* kPortsNotAllowedNote =
    "Some serial ports could not be searched: this user is not allowed to open them.";
inline constexpr const char* kLongSearchQuestion = "This process may take a few minutes.  Continue?";
inline constexpr const char* kSearchCancelledText = "Search cancelled";
// The entry of the window's Options menu that lets damaged replies through,
// and what the diagnosis of a search that heard only damaged replies advises.
inline constexpr const char* kAcceptDamagedRepliesEntry = "Accept replies that fail the check";
inline constexpr const char* kAcceptDamagedRepliesRemedy =
    "turn on Options > Accept replies that fail the check and search again";

// How a Find Device ended.
enum class SearchOutcome {
    NotStarted,    // a connect dialog was cancelled
    Accepted,      // the operator selected a transmitter
    NothingFound,  // "No device found    "
    NotScanned,    // the operator declined the long RS-485 search
    ReadFailed,    // "Device read error         "
    Cancelled,     // the operator cancelled the RS-485 scan
};

// A transmitter the line inventory listed, as the operator selects it from the
// "Scan line..." window.
struct ListedTransmitter {
    LineInterface lineInterface = LineInterface::Usb;
    std::string portName;  // for RS-485 the port text, as the connect dialog takes it
    std::string baudText;
    std::uint8_t networkAddress = 0;
};

struct DiscoveryServices {
    DeviceSession& session;
    CommSettings& comm;
    StoredSettings& store;
    Prompter& prompter;
    ConnectDialogs& connectDialogs;
    WindowHost& host;
};

class DeviceDiscovery {
public:
    explicit DeviceDiscovery(DiscoveryServices services) : s_(services) {}

    SearchOutcome findDevice(MainWindowState& state);
    // Selects a listed transmitter with the steps of Find Device, as if the
    // connect dialog had been given its line and the operator had accepted
    // it when offered: the same reads, stored keys, flags, route and buttons.
    // The interface must already be the listed one.
    SearchOutcome selectListed(MainWindowState& state, const ListedTransmitter& listed);

private:
    struct Selection;
    enum class Candidate { Accepted, Declined, ReadFailed };

    SearchOutcome search(MainWindowState& state, const std::string& baudText,
                         const std::optional<Rs485ConnectValues>& rs485);
    void startPass();
    SearchOutcome portScan(MainWindowState& state);
    Candidate examinePortCandidate(MainWindowState& state);
    void acceptPortCandidate(MainWindowState& state);
    bool moveBeyondDeclinedPort(MainWindowState& state);
    bool startSecondPass(MainWindowState& state);
    SearchOutcome addressScan(MainWindowState& state, const Rs485ConnectValues& values);
    SearchOutcome walkAddresses(MainWindowState& state, std::uint8_t start);
    std::uint8_t scanAddressesFrom(std::uint8_t start);
    void readAddressCandidate(MainWindowState& state, std::uint8_t address);
    void acceptAddressCandidate(MainWindowState& state, std::uint8_t address);
    void reportNothingFound(MainWindowState& state);
    void describeSelection(MainWindowState& state);
    Selection keepSelection(const MainWindowState& state) const;
    void restoreSelection(MainWindowState& state, const Selection& kept);
    void commonEnd(MainWindowState& state);

    void readDeviceKind(const MainWindowState& state);
    bool readPortCandidateSensors(MainWindowState& state);
    void readAddressCandidateSensors(MainWindowState& state);
    void composeSensorLines(MainWindowState& state);
    bool offer(const MainWindowState& state, std::uint8_t address);
    void applyModelCode(MainWindowState& state);
    void storeSourceNetwork(const MainWindowState& state);
    void forgetAnsweredPorts();
    void storePortFromSelector();
    // The wait cursor and the address scan's progress go.
    void endSearchDisplay();
    void readFailed();

    DiscoveryServices s_;
    Rs232ConnectValues rs232Values_;
    Rs485ConnectValues rs485Values_;
    std::string sourceNetworkText_;
    std::uint64_t deniedPortsBefore_ = 0;  // denied opens in this process when the search began
    // While a listed transmitter is selected: it alone is probed and accepted.
    std::optional<ListedTransmitter> chosen_;
};

// The question that offers a candidate, with or without the P2 line.
std::string OfferQuestion(const std::string& p1Text, const std::string& p2Text, bool p2Present, int address,
                          const std::string& portText);

}  // namespace corvel
