#include "app/comm_settings.h"

#include "common/number_format.h"

namespace corvel {

std::uint32_t ParseBaudText(std::string_view text) {
    const std::string_view digits = text.substr(0, text.find_first_not_of("0123456789"));
    return ParseWholeText<std::uint32_t>(digits).value_or(0);
}

CommSettings& TheCommSettings() {
    static CommSettings settings;
    return settings;
}

}  // namespace corvel
