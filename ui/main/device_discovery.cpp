#include "ui/main/device_discovery.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "config/transmitter_configuration.h"
#include "link/device_addresses.h"
#include "link/port_names.h"
#include "link/port_permission.h"
#include "link/windows1252.h"

namespace corvel {
namespace {

constexpr std::uint8_t kQualifyingModule = 40;
constexpr std::uint8_t kLastNetworkAddress = 254;
constexpr std::uint8_t kFirstSourceNetwork = 1;
constexpr std::uint8_t kLastSourceNetwork = 20;

bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> choices) {
    return std::find(choices.begin(), choices.end(), text) != choices.end();
}

bool IsTwoModuleModel(std::string_view model) { return IsOneOf(model, {"Q710", "Q712"}); }
bool IsCurrentFirmwareModel(std::string_view model) {
    return IsOneOf(model, {"4400", "4402", "440A", "440B", "440C", "442A", "442B", "442C"});
}
bool IsEarlyVersion(double version) { return version == 1.0 || version == 0.9; }
bool IsEarlyVersionText(std::string_view text) { return IsOneOf(text, {"00.90", "00.90 ", "00.90  "}); }

}  // namespace

std::string OfferQuestion(const std::string& p1Text, const std::string& p2Text, bool p2Present, int address,
                          const std::string& portText) {
    const std::string where = std::to_string(address) + ", " + portText + "\n\nSelect this device?";
    if (p2Present) return "Found device (" + p1Text + ") (" + p2Text + ")\nat address " + where;
    return "Found device (" + p1Text + ") at address " + where;
}

// What a cancelled search puts back: the window's state, the communication
// settings, the identity of the accepted transmitter and the stored address.
struct DeviceDiscovery::Selection {
    MainWindowState state;
    CommSettings comm;
    std::string modelCode, modelName, thirdId, versionText;
    double versionNumber = 0.0;
    std::uint8_t foundNetworkAddress = 0, foundModuleNumber = 0, currentNetworkAddress = 0;
    std::string commBoardAddress, commModule;
};

SearchOutcome DeviceDiscovery::findDevice(MainWindowState& state) {
    // The connect dialogs come first, so that Cancel changes nothing: neither
    // the rate the tool windows talk at, nor the flags and buttons of the
    // device accepted before.
    std::string baudText = "115200";
    std::optional<Rs485ConnectValues> rs485;
    if (s_.comm.lineInterface == LineInterface::Rs232) {
        const auto values = s_.connectDialogs.askRs232(rs232Values_);
        if (!values) return SearchOutcome::NotStarted;
        rs232Values_ = *values;
        baudText = values->baudText;
    } else if (s_.comm.lineInterface == LineInterface::Rs485) {
        rs485 = s_.connectDialogs.askRs485(rs485Values_);
        if (!rs485) return SearchOutcome::NotStarted;
        rs485Values_ = *rs485;
        baudText = rs485->baudText;
    }
    return search(state, baudText, rs485);
}

SearchOutcome DeviceDiscovery::selectListed(MainWindowState& state, const ListedTransmitter& listed) {
    std::optional<Rs485ConnectValues> rs485;
    if (listed.lineInterface == LineInterface::Rs232) rs232Values_.baudText = listed.baudText;
    if (listed.lineInterface == LineInterface::Rs485)
        rs485 = rs485Values_ = Rs485ConnectValues{listed.networkAddress, listed.portName, listed.baudText};
    const std::string baudText = listed.lineInterface == LineInterface::Usb ? "115200" : listed.baudText;
    chosen_ = listed;
    const SearchOutcome outcome = search(state, baudText, rs485);
    chosen_.reset();
    return outcome;
}

SearchOutcome DeviceDiscovery::search(MainWindowState& state, const std::string& baudText,
                                      const std::optional<Rs485ConnectValues>& rs485) {
    const Selection before = keepSelection(state);
    state.buttons.setNewAddressShown = false;
    forgetAnsweredPorts();
    deniedPortsBefore_ = PortPermissionDenials();
    s_.session.replyTally = ReplyTally{};
    s_.comm.setBaudText(baudText);
    startPass();
    const SearchOutcome outcome = rs485 ? addressScan(state, *rs485) : portScan(state);
    if (outcome == SearchOutcome::Cancelled) restoreSelection(state, before);
    return outcome;
}

void DeviceDiscovery::startPass() {
    s_.session.discovery.portCounter = kFirstPort;
    s_.comm.setBaudText(s_.comm.baudText);
    s_.comm.p2Present = false;
    s_.comm.q710Family = false;
    s_.comm.earlyFirmware = false;
    s_.comm.portName = PortOpenName(kFirstPort);
    s_.comm.portSelectorText = PortDisplayName(kFirstPort);
    // A listed transmitter's port is probed first (and alone).
    if (chosen_ && chosen_->lineInterface != LineInterface::Rs485) {
        s_.session.discovery.portCounter = static_cast<std::uint8_t>(PortNumberFromOpenName(chosen_->portName, 0));
        s_.comm.portName = chosen_->portName;
    }
}

// ---- Port scan (USB and RS-232) ------------------------------------------------

SearchOutcome DeviceDiscovery::portScan(MainWindowState& state) {
    for (;;) {
        s_.host.setWaitCursor(true);
        const bool found = s_.session.FindDeviceOnPorts(state.deviceRoute);
        s_.comm.portSelectorText = PortDisplayNameOf(s_.comm.portName);
        if (found && !s_.session.discovery.scanFinished) {
            const Candidate candidate = examinePortCandidate(state);
            if (candidate == Candidate::ReadFailed) return SearchOutcome::ReadFailed;
            if (candidate == Candidate::Accepted) {
                acceptPortCandidate(state);
                commonEnd(state);
                return SearchOutcome::Accepted;
            }
            if (!chosen_ && moveBeyondDeclinedPort(state)) continue;
        }
        if (!startSecondPass(state)) return SearchOutcome::NothingFound;
    }
}

// After a declined candidate the scan goes on at the next port. A candidate on
// the last port ends the pass, as the ports running out does: the scan is back
// at the first port and does not walk past the port table.
bool DeviceDiscovery::moveBeyondDeclinedPort(MainWindowState& state) {
    DeviceSession& session = s_.session;
    state.p1Text.clear();
    state.p2Text.clear();
    state.deviceRoute[3] = session.discovery.foundNetworkAddress;
    if (session.discovery.portCounter >= kLastPort) {
        session.discovery.portCounter = kFirstPort;
        session.SelectPortByNumber(kFirstPort);
        s_.comm.portSelectorText = PortDisplayName(kFirstPort);
        return false;
    }
    ++session.discovery.portCounter;
    session.SelectPortByNumber(session.discovery.portCounter);
    return true;
}

// The end of a pass without acceptance: true when the one silent second pass
// follows, false when the search ends with nothing found.
bool DeviceDiscovery::startSecondPass(MainWindowState& state) {
    s_.session.discovery.scanFinished = 0;
    endSearchDisplay();
    s_.host.showValues();
    if (state.secondPass && !chosen_) {
        state.secondPass = false;
        state.p1Text.clear();
        state.p2Text.clear();
        startPass();
        return true;
    }
    state.p1Text.clear();
    state.p2Text.clear();
    reportNothingFound(state);
    commonEnd(state);
    return false;
}

DeviceDiscovery::Candidate DeviceDiscovery::examinePortCandidate(MainWindowState& state) {
    DeviceSession& session = s_.session;
    if (!session.ReadDeviceStrings(state.deviceRoute, session.discovery.foundModuleNumber)) {
        readFailed();
        return Candidate::ReadFailed;
    }
    const std::uint8_t address = session.discovery.foundNetworkAddress;
    state.deviceRoute = {state.sourceNetwork, 0xF0, 0x80, address, 0xF0, kPressureModule};
    s_.comm.rs485Address = address;
    if (!readPortCandidateSensors(state)) {
        readFailed();
        return Candidate::ReadFailed;
    }
    // Devices that neither run the early firmware nor identify themselves
    // fully are passed over as if declined.
    const bool identified = !session.memory.modelCodeText.empty() && session.memory.thirdIdText.size() == 5;
    if (chosen_) return PortNumberFromOpenName(chosen_->portName, 0) == session.discovery.portCounter
                           ? Candidate::Accepted
                           : Candidate::Declined;
    if (!IsEarlyVersion(session.versionNumber) && !identified) return Candidate::Declined;
    endSearchDisplay();
    return offer(state, address) ? Candidate::Accepted : Candidate::Declined;
}

void DeviceDiscovery::acceptPortCandidate(MainWindowState& state) {
    DeviceSession& session = s_.session;
    s_.host.setWaitCursor(true);
    session.ReadDeviceStrings(state.deviceRoute, session.discovery.foundModuleNumber);
    session.ReadIdentityAtAddress();
    const std::uint8_t address = session.discovery.foundNetworkAddress;
    session.discovery.currentNetworkAddress = address;
    state.buttons.setNewAddressShown = false;
    state.addressFieldReadOnly = true;
    forgetAnsweredPorts();
    applyModelCode(state);
    s_.store.write(key::kEPIAddress, "64");
    session.discovery.pressureModuleAddress = kPressureModule;
    if (IsTwoModuleModel(session.memory.modelCodeText)) {
        s_.store.write(key::kEVIAddress, "65");
        session.discovery.secondModuleAddress = kSecondModule;
    }
    storeSourceNetwork(state);
    state.addressField = address;
    state.deviceRoute = {state.sourceNetwork, 0xF0, 0x80, address, 0xF0, kPressureModule};
    describeSelection(state);
}

void DeviceDiscovery::applyModelCode(MainWindowState& state) {
    ToolButtonStates& buttons = state.buttons;
    const std::string& model = s_.session.memory.modelCodeText;
    buttons.measurementConfiguration = true;
    buttons.deviceInfo = true;
    buttons.reflashFirmware = true;
    buttons.dataLogUtility = true;
    if (IsTwoModuleModel(model)) {
        buttons.setNewAddress = false;
        buttons.fieldRecalibration = false;
        s_.comm.q710Family = true;
        return;
    }
    buttons.setNewAddress = true;
    buttons.fieldRecalibration = true;
    if (HasAnalogOutput(model)) {
        buttons.analogOutput = true;
        s_.comm.earlyFirmware = false;
    } else if (IsCurrentFirmwareModel(model)) {
        s_.comm.earlyFirmware = false;
    } else {
        s_.comm.earlyFirmware =
            IsEarlyVersion(s_.session.versionNumber) || IsEarlyVersionText(s_.session.versionText);
    }
}

void DeviceDiscovery::storeSourceNetwork(const MainWindowState& state) {
    if (state.sourceNetwork >= kFirstSourceNetwork && state.sourceNetwork <= kLastSourceNetwork) {
        sourceNetworkText_ = std::to_string(state.sourceNetwork);
    }
    s_.store.write(key::kSourceNetwork, sourceNetworkText_);
}

// ---- Address scan (RS-485) -----------------------------------------------------

SearchOutcome DeviceDiscovery::addressScan(MainWindowState& state, const Rs485ConnectValues& values) {
    s_.comm.portName = values.portText;
    s_.comm.rs485Address = values.address;
    state.addressField = values.address;

    const bool proceed = chosen_ || s_.prompter.confirm(kLongSearchQuestion);
    ToolButtonStates& buttons = state.buttons;
    buttons.setNewAddress = false;
    buttons.fieldRecalibration = false;
    buttons.measurementConfiguration = false;
    buttons.deviceInfo = false;
    buttons.reflashFirmware = false;
    buttons.analogOutput = false;
    buttons.dataLogUtility = true;
    state.selected = SelectedTransmitter{};

    const SearchOutcome outcome = proceed ? walkAddresses(state, values.address) : SearchOutcome::NotScanned;
    if (outcome == SearchOutcome::Cancelled) return outcome;
    if (outcome == SearchOutcome::NothingFound) reportNothingFound(state);
    endSearchDisplay();
    s_.host.showValues();
    commonEnd(state);
    return outcome;
}

// Offers each transmitter that answers, from `start` on, until the operator
// selects one, the line has no more, or the operator cancels the scan.
SearchOutcome DeviceDiscovery::walkAddresses(MainWindowState& state, std::uint8_t start) {
    std::uint8_t address = scanAddressesFrom(start);
    while (address != 0) {
        readAddressCandidate(state, address);
        if (s_.host.progressCancelled()) break;
        endSearchDisplay();
        if (chosen_ || offer(state, address)) {
            acceptAddressCandidate(state, address);
            return SearchOutcome::Accepted;
        }
        state.deviceRoute[3] = address;
        // Nothing is beyond address 255: the scan does not start over at 0.
        if (address == 0xFF) return SearchOutcome::NothingFound;
        address = scanAddressesFrom(s_.session.discovery.nextStartAddress);
    }
    if (!s_.host.progressCancelled()) return SearchOutcome::NothingFound;
    endSearchDisplay();
    s_.prompter.notify(kSearchCancelledText);
    return SearchOutcome::Cancelled;
}

std::uint8_t DeviceDiscovery::scanAddressesFrom(std::uint8_t start) {
    s_.host.setWaitCursor(true);
    s_.host.startProgress();
    s_.comm.setBaudText(s_.comm.baudText);
    return s_.session.ScanNetworkAddresses(start, chosen_ ? start : kLastNetworkAddress);
}

void DeviceDiscovery::readAddressCandidate(MainWindowState& state, std::uint8_t address) {
    DeviceSession& session = s_.session;
    s_.comm.portSelectorText = PortDisplayNameOf(s_.comm.portName);
    session.discovery.foundModuleNumber = kQualifyingModule;
    session.ReadIdentityAtAddress();
    session.ReadDeviceStrings(state.deviceRoute, kQualifyingModule);
    session.ReadIdentityAtAddress();
    state.deviceRoute = {0x80, 0xF0, 0x80, address, 0xF0, kPressureModule};
    readAddressCandidateSensors(state);
}

void DeviceDiscovery::acceptAddressCandidate(MainWindowState& state, std::uint8_t address) {
    s_.session.discovery.currentNetworkAddress = address;
    state.deviceRoute[3] = address;
    state.addressField = address;
    ToolButtonStates& buttons = state.buttons;
    buttons.setNewAddressShown = true;
    buttons.setNewAddress = true;
    buttons.fieldRecalibration = true;
    buttons.measurementConfiguration = true;
    buttons.deviceInfo = true;
    buttons.reflashFirmware = true;
    buttons.dataLogUtility = true;
    s_.store.write(key::kEPIAddress, "64");
    s_.session.discovery.pressureModuleAddress = kPressureModule;
    state.addressFieldReadOnly = false;
    describeSelection(state);
}

// ---- Shared steps --------------------------------------------------------------

// Whether the candidate has a second pressure input is decided again for
// every candidate, so that a device without P2 offered after one with P2 is
// not shown with a P2 line.
void DeviceDiscovery::readDeviceKind(const MainWindowState& state) {
    s_.comm.p2Present = s_.session.ReadDeviceKind(state.deviceRoute) == 0;
}

// On a port scan a failed read ends the search at once: P2 is read first, and
// P1 only when P2 was read. The lines change only when both were read.
bool DeviceDiscovery::readPortCandidateSensors(MainWindowState& state) {
    DeviceSession& session = s_.session;
    readDeviceKind(state);
    if (s_.comm.p2Present && !session.ReadSensorInfoP2(state.deviceRoute)) return false;
    if (!session.ReadSensorInfoP1(state.deviceRoute)) return false;
    composeSensorLines(state);
    return true;
}

// On an address scan P1 is read before P2, and failures leave the lines as far
// as they came; the operator still decides.
void DeviceDiscovery::readAddressCandidateSensors(MainWindowState& state) {
    DeviceSession& session = s_.session;
    readDeviceKind(state);
    session.ReadSensorInfoP1(state.deviceRoute);
    if (s_.comm.p2Present) session.ReadSensorInfoP2(state.deviceRoute);
    composeSensorLines(state);
}

// The P1 and P2 lines: label and upper range limit, a P2 limit of "0" left out.
void DeviceDiscovery::composeSensorLines(MainWindowState& state) {
    DeviceSession& session = s_.session;
    if (s_.comm.p2Present && session.p2Sensor.upperLimitText == "0") session.p2Sensor.upperLimitText.clear();
    state.p1Text = Windows1252ToUtf8(session.p1Sensor.label + session.p1Sensor.upperLimitText);
    state.p2Text =
        s_.comm.p2Present ? Windows1252ToUtf8(session.p2Sensor.label + session.p2Sensor.upperLimitText) : std::string();
}

bool DeviceDiscovery::offer(const MainWindowState& state, std::uint8_t address) {
    s_.host.showValues();
    return s_.prompter.confirm(
        OfferQuestion(state.p1Text, state.p2Text, s_.comm.p2Present, address, s_.comm.portSelectorText));
}

void DeviceDiscovery::reportNothingFound(MainWindowState& state) {
    endSearchDisplay();
    if (PortPermissionDenials() == deniedPortsBefore_) {
        s_.prompter.notify(kNoDeviceFoundText);
    } else {
        s_.prompter.notify(std::string(kNoDeviceFoundText) + "\n" + kPortsNotAllowedNote);
    }
    // A transmitter that answered only with damaged replies is named, not lost.
    if (s_.session.replyTally.onlyDamaged() && !s_.comm.acceptDamagedReplies) {
        s_.prompter.notify(DamagedRepliesDiagnosis(s_.session.replyTally, kAcceptDamagedRepliesRemedy));
    }
    ToolButtonStates& buttons = state.buttons;
    buttons.setNewAddressShown = false;
    buttons.fieldRecalibration = false;
    buttons.measurementConfiguration = false;
    buttons.deviceInfo = false;
    buttons.reflashFirmware = false;
    buttons.dataLogUtility = true;
    s_.session.memory.modelCodeText.clear();
    state.selected = SelectedTransmitter{};
    forgetAnsweredPorts();
    storePortFromSelector();
}

// The window names the selected transmitter from what the search read; it
// asks the transmitter nothing more for it.
void DeviceDiscovery::describeSelection(MainWindowState& state) {
    const DeviceSession& session = s_.session;
    state.selected = SelectedTransmitter{true, Windows1252ToUtf8(session.memory.modelCodeText),
                                         Windows1252ToUtf8(session.memory.modelNameText), s_.comm.portSelectorText,
                                         state.deviceRoute[3]};
}

DeviceDiscovery::Selection DeviceDiscovery::keepSelection(const MainWindowState& state) const {
    const DeviceSession& session = s_.session;
    return Selection{state,
                     s_.comm,
                     session.memory.modelCodeText,
                     session.memory.modelNameText,
                     session.memory.thirdIdText,
                     session.versionText,
                     session.versionNumber,
                     session.discovery.foundNetworkAddress,
                     session.discovery.foundModuleNumber,
                     session.discovery.currentNetworkAddress,
                     s_.store.read(key::kCommBoardAddress, ""),
                     s_.store.read(key::kCommModule, "")};
}

void DeviceDiscovery::restoreSelection(MainWindowState& state, const Selection& kept) {
    DeviceSession& session = s_.session;
    state = kept.state;
    s_.comm = kept.comm;
    session.memory.modelCodeText = kept.modelCode;
    session.memory.modelNameText = kept.modelName;
    session.memory.thirdIdText = kept.thirdId;
    session.versionText = kept.versionText;
    session.versionNumber = kept.versionNumber;
    session.discovery.foundNetworkAddress = kept.foundNetworkAddress;
    session.discovery.foundModuleNumber = kept.foundModuleNumber;
    session.discovery.foundModuleNumberCopy = kept.foundModuleNumber;
    session.discovery.currentNetworkAddress = kept.currentNetworkAddress;
    if (!kept.commBoardAddress.empty()) s_.store.write(key::kCommBoardAddress, kept.commBoardAddress);
    if (!kept.commModule.empty()) s_.store.write(key::kCommModule, kept.commModule);
    s_.host.showValues();
}

void DeviceDiscovery::commonEnd(MainWindowState& state) {
    if (IsTwoModuleModel(s_.session.memory.modelCodeText)) {
        s_.comm.q710Family = true;
        state.buttons.setNewAddress = false;
        state.buttons.fieldRecalibration = false;
        state.buttons.measurementConfiguration = true;
        state.buttons.deviceInfo = true;
        state.buttons.reflashFirmware = true;
        state.buttons.dataLogUtility = true;
    }
    endSearchDisplay();
    s_.host.showValues();
}

void DeviceDiscovery::endSearchDisplay() {
    s_.host.stopProgress();
    s_.host.setWaitCursor(false);
}

void DeviceDiscovery::readFailed() {
    endSearchDisplay();
    s_.prompter.error(kDeviceReadErrorText);
}

void DeviceDiscovery::forgetAnsweredPorts() {
    s_.session.discovery.answeredPorts.fill(0);
    s_.session.discovery.answeredPortCount = 0;
}

void DeviceDiscovery::storePortFromSelector() {
    s_.store.write(key::kPort, s_.comm.portSelectorText);
    s_.comm.portName = s_.store.read(key::kPort, "COM1");
}

}  // namespace corvel
