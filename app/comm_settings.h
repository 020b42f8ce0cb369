#pragma once
// CommSettings: the process-wide communication state. It is created before the
// main window and lives until exit; the device link reads the port name, baud
// rate and protocol at the start of every exchange.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace corvel {

enum class LineInterface { Usb, Rs232, Rs485 };

inline constexpr std::uint32_t kProtocolNative = 0;
inline constexpr std::uint32_t kProtocolModbus = 1;

// Decimal parse of a baud text: stops at the first non-digit, so "9600x" is
// 9600 and "fast" is 0; digits beyond what 32 bits hold give 0 as well.
std::uint32_t ParseBaudText(std::string_view text);

struct CommSettings {
    // "COM1".."COM9", "\\.\COM10".."\\.\COM100": the name the link opens.
    std::string portName;
    // The baud rate is always the parse of the baud text; set both through setBaudText.
    std::string baudText;
    std::uint32_t baudRate = 0;
    LineInterface lineInterface = LineInterface::Usb;
    std::uint32_t protocol = kProtocolNative;
    // Network address entered in the RS-485 connect dialog, or of the candidate
    // found over USB or RS-232.
    std::uint8_t rs485Address = 0;
    // Texts of the main window's (hidden) port and baud selectors.
    std::string portSelectorText;
    std::string baudSelectorText;
    // Set by discovery for the tool windows.
    bool p2Present = false;
    bool q710Family = false;
    bool earlyFirmware = false;
    // Replies that fail their checks are let through (the stored setting
    // AcceptDamagedReplies, for firmware that seals its replies otherwise).
    bool acceptDamagedReplies = false;

    void setBaudText(std::string text) {
        baudText = std::move(text);
        baudRate = ParseBaudText(baudText);
    }
};

// The one object of the running program.
CommSettings& TheCommSettings();

}  // namespace corvel
