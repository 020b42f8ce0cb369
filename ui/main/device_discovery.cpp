#include "device_discovery.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "port_names.h"

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
bool IsAnalogOutputModel(std::string_view model) { return IsOneOf(model, {"440D", "442D"}); }
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

void DeviceDiscovery::findDevice(MainWindowState& state) {
    state.buttons.setNewAddressShown = false;
    forgetAnsweredPorts();
    s_.comm.setBaudText(s_.store.read(key::kBaudRate, "115200"));
    if (s_.comm.lineInterface == LineInterface::Rs232) {
        const auto values = s_.connectDialogs.askRs232(rs232Values_);
        if (!values) return;
        rs232Values_ = *values;
        s_.comm.setBaudText(values->baudText);
    } else if (s_.comm.lineInterface == LineInterface::Usb) {
        s_.comm.setBaudText("115200");
    }
    startPass();
    if (s_.comm.lineInterface == LineInterface::Rs485) {
        addressScan(state);
    } else {
        portScan(state);
    }
}

void DeviceDiscovery::startPass() {
    s_.session.portCounter = kFirstPort;
    s_.comm.setBaudText(s_.comm.baudText);
    s_.comm.p2Present = false;
    s_.comm.q710Family = false;
    s_.comm.earlyFirmware = false;
    s_.comm.portName = PortOpenName(kFirstPort);
    s_.comm.portSelectorText = PortDisplayName(kFirstPort);
}

// ---- Port scan (USB and RS-232) ------------------------------------------------

void DeviceDiscovery::portScan(MainWindowState& state) {
    for (;;) {
        s_.feedback.searchStarted(SearchKind::PortScan);
        const bool found = s_.session.FindDeviceOnPorts(state.deviceRoute);
        s_.comm.portSelectorText = PortDisplayNameOf(s_.comm.portName);
        if (!found || s_.session.scanFinished) {
            s_.session.scanFinished = 0;
            s_.feedback.searchStopped();
            s_.feedback.showValues();
            if (state.secondPass) {
                state.secondPass = false;
                state.p1Text.clear();
                state.p2Text.clear();
                startPass();
                continue;
            }
            reportNothingFound(state);
            commonEnd(state);
            return;
        }
        switch (examinePortCandidate(state)) {
            case Candidate::ReadFailed:
                return;
            case Candidate::Accepted:
                acceptPortCandidate(state);
                commonEnd(state);
                return;
            case Candidate::Declined:
                state.p1Text.clear();
                state.p2Text.clear();
                ++s_.session.portCounter;
                state.deviceRoute[3] = s_.session.foundNetworkAddress;
                s_.session.SelectPortByNumber(s_.session.portCounter);
                break;
        }
    }
}

DeviceDiscovery::Candidate DeviceDiscovery::examinePortCandidate(MainWindowState& state) {
    DeviceSession& session = s_.session;
    if (!session.ReadDeviceStrings(state.deviceRoute, session.foundModuleNumber)) {
        readFailed();
        return Candidate::ReadFailed;
    }
    const std::uint8_t address = session.foundNetworkAddress;
    state.deviceRoute = {state.sourceNetwork, 0xF0, 0x80, address, 0xF0, kPressureModule};
    s_.comm.rs485Address = address;
    if (!readSensorLines(state)) {
        readFailed();
        return Candidate::ReadFailed;
    }
    // Devices that neither run the early firmware nor identify themselves
    // fully are passed over as if declined.
    const bool identified = !session.modelCodeText.empty() && session.thirdIdText.size() == 5;
    if (!IsEarlyVersion(session.versionNumber) && !identified) return Candidate::Declined;
    s_.feedback.searchStopped();
    return offer(state, address) ? Candidate::Accepted : Candidate::Declined;
}

void DeviceDiscovery::acceptPortCandidate(MainWindowState& state) {
    DeviceSession& session = s_.session;
    session.ReadDeviceStrings(state.deviceRoute, session.foundModuleNumber);
    session.ReadIdentityAtAddress();
    const std::uint8_t address = session.foundNetworkAddress;
    session.currentNetworkAddress = address;
    state.buttons.setNewAddressShown = false;
    state.addressFieldReadOnly = true;
    forgetAnsweredPorts();
    applyModelCode(state);
    s_.store.write(key::kEPIAddress, "64");
    session.pressureModuleAddress = kPressureModule;
    if (IsTwoModuleModel(session.modelCodeText)) {
        s_.store.write(key::kEVIAddress, "65");
        session.secondModuleAddress = kSecondModule;
    }
    storeSourceNetwork(state);
    state.addressField = address;
    state.deviceRoute = {state.sourceNetwork, 0xF0, 0x80, address, 0xF0, kPressureModule};
}

void DeviceDiscovery::applyModelCode(MainWindowState& state) {
    ToolButtonStates& buttons = state.buttons;
    const std::string& model = s_.session.modelCodeText;
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
    if (IsAnalogOutputModel(model)) {
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

void DeviceDiscovery::addressScan(MainWindowState& state) {
    const auto values = s_.connectDialogs.askRs485(rs485Values_);
    if (!values) return;
    rs485Values_ = *values;
    s_.comm.portName = values->portText;
    s_.comm.setBaudText(values->baudText);
    s_.comm.rs485Address = values->address;
    state.addressField = values->address;

    const bool proceed = s_.prompter.confirm(kLongSearchQuestion);
    ToolButtonStates& buttons = state.buttons;
    buttons.setNewAddress = false;
    buttons.fieldRecalibration = false;
    buttons.measurementConfiguration = false;
    buttons.deviceInfo = false;
    buttons.reflashFirmware = false;
    buttons.analogOutput = false;
    buttons.dataLogUtility = true;

    if (proceed) {
        std::uint8_t address = scanAddressesFrom(values->address);
        while (address != 0) {
            readAddressCandidate(state, address);
            s_.feedback.searchStopped();
            if (offer(state, address)) {
                acceptAddressCandidate(state, address);
                break;
            }
            state.deviceRoute[3] = address;
            address = scanAddressesFrom(s_.session.nextStartAddress);
        }
        if (address == 0) reportNothingFound(state);
    }
    s_.feedback.searchStopped();
    s_.feedback.showValues();
    commonEnd(state);
}

std::uint8_t DeviceDiscovery::scanAddressesFrom(std::uint8_t start) {
    // After a device at the last address there is nothing left to probe.
    if (start > kLastNetworkAddress) return 0;
    s_.feedback.searchStarted(SearchKind::AddressScan);
    s_.comm.setBaudText(s_.comm.baudText);
    return s_.session.ScanNetworkAddresses(start);
}

void DeviceDiscovery::readAddressCandidate(MainWindowState& state, std::uint8_t address) {
    DeviceSession& session = s_.session;
    s_.comm.portSelectorText = PortDisplayNameOf(s_.comm.portName);
    session.foundModuleNumber = kQualifyingModule;
    session.ReadIdentityAtAddress();
    session.ReadDeviceStrings(state.deviceRoute, kQualifyingModule);
    session.ReadIdentityAtAddress();
    state.deviceRoute = {0x80, 0xF0, 0x80, address, 0xF0, kPressureModule};
    // Failures of these reads leave the lines as far as they came; the
    // operator still decides.
    readSensorLines(state);
}

void DeviceDiscovery::acceptAddressCandidate(MainWindowState& state, std::uint8_t address) {
    s_.session.currentNetworkAddress = address;
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
    s_.session.pressureModuleAddress = kPressureModule;
    state.addressFieldReadOnly = false;
}

// ---- Shared steps --------------------------------------------------------------

bool DeviceDiscovery::readSensorLines(MainWindowState& state) {
    DeviceSession& session = s_.session;
    // Decided again for every candidate, so that a device without P2 offered
    // after one with P2 is not shown with a P2 line.
    s_.comm.p2Present = session.ReadDeviceKind(state.deviceRoute) == 0;
    bool read = true;
    if (s_.comm.p2Present) read = session.ReadSensorInfoP2(state.deviceRoute);
    read = session.ReadSensorInfoP1(state.deviceRoute) && read;
    if (s_.comm.p2Present && session.p2Sensor.upperLimitText == "0") session.p2Sensor.upperLimitText.clear();
    state.p1Text = session.p1Sensor.label + session.p1Sensor.upperLimitText;
    state.p2Text = s_.comm.p2Present ? session.p2Sensor.label + session.p2Sensor.upperLimitText : std::string();
    return read;
}

bool DeviceDiscovery::offer(const MainWindowState& state, std::uint8_t address) {
    s_.feedback.showValues();
    return s_.prompter.confirm(
        OfferQuestion(state.p1Text, state.p2Text, s_.comm.p2Present, address, s_.comm.portSelectorText));
}

void DeviceDiscovery::reportNothingFound(MainWindowState& state) {
    s_.feedback.searchStopped();
    s_.prompter.notify(kNoDeviceFoundText);
    ToolButtonStates& buttons = state.buttons;
    buttons.setNewAddressShown = false;
    buttons.fieldRecalibration = false;
    buttons.measurementConfiguration = false;
    buttons.deviceInfo = false;
    buttons.reflashFirmware = false;
    buttons.dataLogUtility = true;
    s_.session.modelCodeText.clear();
    state.p1Text.clear();
    state.p2Text.clear();
    forgetAnsweredPorts();
    storePortFromSelector();
}

void DeviceDiscovery::commonEnd(MainWindowState& state) {
    if (IsTwoModuleModel(s_.session.modelCodeText)) {
        s_.comm.q710Family = true;
        state.buttons.setNewAddress = false;
        state.buttons.fieldRecalibration = false;
        state.buttons.measurementConfiguration = true;
        state.buttons.deviceInfo = true;
        state.buttons.reflashFirmware = true;
        state.buttons.dataLogUtility = true;
    }
    s_.feedback.searchStopped();
    s_.feedback.showValues();
}

void DeviceDiscovery::readFailed() {
    s_.feedback.searchStopped();
    s_.prompter.error(kDeviceReadErrorText);
}

void DeviceDiscovery::forgetAnsweredPorts() {
    s_.session.answeredPorts.fill(0);
    s_.session.answeredPortCount = 0;
}

void DeviceDiscovery::storePortFromSelector() {
    s_.store.write(key::kPort, s_.comm.portSelectorText);
    s_.comm.portName = s_.store.read(key::kPort, "COM1");
}

}  // namespace corvel
