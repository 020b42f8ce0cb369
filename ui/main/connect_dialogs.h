#pragma once
// The two connect dialogs that Find Device runs before a search, as plain
// values in and out. The values are kept by the caller from one opening to the
// next; an empty result means the operator cancelled.

#include <cstdint>
#include <optional>
#include <string>

namespace corvel {

inline constexpr const char* kBaudChoices[] = {"9600", "19200", "38400", "57600", "115200"};

struct Rs232ConnectValues {
    std::string baudText = "9600";
    bool operator==(const Rs232ConnectValues&) const = default;
};

struct Rs485ConnectValues {
    std::uint8_t address = 40;
    std::string portText = "COM1";
    std::string baudText = "19200";
    bool operator==(const Rs485ConnectValues&) const = default;
};

class ConnectDialogs {
public:
    virtual ~ConnectDialogs() = default;
    virtual std::optional<Rs232ConnectValues> askRs232(const Rs232ConnectValues& previous) = 0;
    virtual std::optional<Rs485ConnectValues> askRs485(const Rs485ConnectValues& previous) = 0;
};

}  // namespace corvel
