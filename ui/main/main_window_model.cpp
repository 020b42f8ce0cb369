#include "ui/main/main_window_model.h"

#include "common/number_format.h"
#include "link/port_names.h"

namespace corvel {

std::optional<int> ParseAddressField(std::string_view text) {
    return ParseWholeText<int>(text, {.blanks = " ", .min = 0, .max = 255});
}

std::string SelectedTransmitterText(const SelectedTransmitter& selected) {
    if (!selected.present) return "No transmitter selected";
    const std::string model = selected.model.empty() ? "Transmitter" : selected.model;
    const std::string name = selected.modelName.empty() ? "" : " (" + selected.modelName + ")";
    return "Selected: " + model + name + " on " + selected.port + ", address " + std::to_string(selected.address);
}

MainWindowModel::MainWindowModel(MainWindowServices services)
    : s_(services),
      discovery_(DiscoveryServices{services.session, services.comm, services.store, services.prompter,
                                   services.connectDialogs, services.host}) {}

void MainWindowModel::open() {
    s_.comm.lineInterface = LineInterface::Usb;
    s_.comm.portName = PortOpenName(kFirstPort);
    // The hidden baud selector starts on its last entry.
    s_.comm.baudSelectorText = "115200";
    writeBaudRate(s_.comm.baudSelectorText);
    s_.comm.protocol = kProtocolNative;
    s_.comm.portSelectorText = s_.comm.portName;
    s_.comm.baudSelectorText = s_.comm.baudText;
    s_.store.write(key::kFromCSU, "0");
    state_.sourceNetwork = static_cast<std::uint8_t>(PortNumberFromOpenName(s_.comm.portName, 0));
    state_.buttons = ToolButtonStates{};
    state_.addressField = kInitialAddress;
    chooseUsb();
    saveSettings();
}

void MainWindowModel::takeAddressField(std::optional<int> typedAddress) {
    if (typedAddress) state_.addressField = static_cast<std::uint8_t>(*typedAddress);
}

void MainWindowModel::chooseUsb() {
    state_.secondPass = true;
    selectBaud("115200");
    s_.comm.lineInterface = LineInterface::Usb;
}

void MainWindowModel::chooseRs232() {
    state_.secondPass = true;
    s_.comm.lineInterface = LineInterface::Rs232;
}

void MainWindowModel::chooseRs485() {
    s_.comm.lineInterface = LineInterface::Rs485;
    selectBaud("19200");
    state_.secondPass = true;
}

// Selecting an entry in the baud selector stores the text it showed before the
// selection, then shows the new entry.
void MainWindowModel::selectBaud(const char* text) {
    writeBaudRate(s_.comm.baudSelectorText);
    s_.comm.baudSelectorText = text;
}

void MainWindowModel::saveSettings() {
    s_.store.write(key::kPort, "COM1");
    s_.comm.portName = s_.store.read(key::kPort, "COM1");
    s_.comm.portSelectorText = "COM1";
    s_.comm.protocol = kProtocolNative;
    writeBaudRate(s_.comm.baudSelectorText);
}

// Every write of BaudRate is read back, so the baud text equals what the store holds.
void MainWindowModel::writeBaudRate(const std::string& text) {
    s_.store.write(key::kBaudRate, text);
    s_.comm.setBaudText(s_.store.read(key::kBaudRate, "115200"));
}

SearchOutcome MainWindowModel::selectListed(const ListedTransmitter& listed) {
    if (listed.lineInterface != s_.comm.lineInterface) {
        if (listed.lineInterface == LineInterface::Usb) chooseUsb();
        if (listed.lineInterface == LineInterface::Rs232) chooseRs232();
        if (listed.lineInterface == LineInterface::Rs485) chooseRs485();
    }
    return discovery_.selectListed(state_, listed);
}

void MainWindowModel::setNewAddress(std::optional<int> enteredAddress) {
    if (!s_.prompter.confirm(kChangeAddressQuestion)) return;
    // Text that is no address leaves the previous value, and the change runs with it.
    if (enteredAddress) {
        state_.addressField = static_cast<std::uint8_t>(*enteredAddress);
    } else {
        s_.prompter.notify(kAddressRangeText);
    }
    // A refused or failed change leaves the field as the operator entered it.
    const std::uint8_t module = s_.session.discovery.foundModuleNumber;
    if (!s_.session.WriteNetworkAddress(state_.deviceRoute, state_.addressField, module)) return;
    // The transmitter answers to the new address from now on: the next
    // change and the data log window address it there.
    state_.deviceRoute[3] = state_.addressField;
    state_.selected.address = state_.addressField;
    s_.session.discovery.currentNetworkAddress = state_.addressField;
    s_.comm.rs485Address = state_.addressField;
    s_.prompter.inform("Device set to new network address " + std::to_string(state_.addressField));
}

void MainWindowModel::setAcceptDamagedReplies(bool accept) {
    s_.comm.acceptDamagedReplies = accept;
    s_.store.write(key::kAcceptDamagedReplies, accept ? "1" : "0");
}

void MainWindowModel::reflashFirmware() {
    s_.store.write(key::kFromCSU, "1");
    launch("The reflash tool", kReflashToolFileName, " It is installed separately.");
}

void MainWindowModel::openUserGuide() { launch("The user guide", kUserGuideFileName, ""); }

void MainWindowModel::launch(const std::string& what, const char* fileName, const std::string& advice) {
    if (s_.launcher.open(fileName)) return;
    s_.prompter.inform(what + " \"" + fileName + "\" was not found beside corvel-setup (" +
                       s_.launcher.programFolder() + ") or on PATH." + advice);
}

void MainWindowModel::exit() { s_.session.SendModbusExitSequence(); }

}  // namespace corvel
