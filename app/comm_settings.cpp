#include "app/comm_settings.h"

namespace corvel {

std::uint32_t ParseBaudText(std::string_view text) {
    std::uint32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return value;
}

CommSettings& TheCommSettings() {
    static CommSettings settings;
    return settings;
}

}  // namespace corvel
