#pragma once
// What the main window shows and keeps between actions: the tool buttons'
// states, the device route it addresses the transmitter with, the address
// field and the P1/P2 lines. The window draws it; the main window model and
// device discovery change it.

#include <cstdint>
#include <string>

#include "link/frame.h"

namespace corvel {

struct ToolButtonStates {
    bool measurementConfiguration = false;
    bool analogOutput = false;
    bool fieldRecalibration = false;
    bool deviceInfo = false;
    bool reflashFirmware = false;
    bool dataLogUtility = true;
    bool setNewAddress = false;
    bool setNewAddressShown = false;

    bool operator==(const ToolButtonStates&) const = default;
};

inline constexpr std::uint8_t kInitialAddress = 40;

// The transmitter the tool windows reach, as the window names it below the
// connection group.
struct SelectedTransmitter {
    bool present = false;
    std::string model;  // UTF-8, as shown
    std::string modelName;
    std::string port;
    std::uint8_t address = 0;
};

// "No transmitter selected", or model code and name, port and address.
std::string SelectedTransmitterText(const SelectedTransmitter& selected);

struct MainWindowState {
    ToolButtonStates buttons;
    // Source network, 0xF0, 0x80, network address, 0xF0, module.
    RouteBlock deviceRoute{0, 0x80, 0x80, kInitialAddress, 0xF0, 0};
    std::uint8_t sourceNetwork = 0;
    std::uint8_t addressField = kInitialAddress;
    bool addressFieldReadOnly = true;
    std::string p1Text;
    std::string p2Text;
    // Lets a search that found nothing make one more silent pass; every
    // interface choice sets it again.
    bool secondPass = true;
    SelectedTransmitter selected;
};

}  // namespace corvel
