#include "ui/support/file_chooser.h"

#include <filesystem>
#include <string_view>

namespace corvel {

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    const std::string name = std::filesystem::path(path).filename().string();
    if (extension.empty() || name.empty() || name.find('.') != std::string::npos) return path;
    return path + "." + extension;
}

std::string QtFilterText(const std::string& filter) {
    std::string result;
    std::string_view rest = filter;
    // Descriptions stand at the even places; the patterns after them are
    // already part of each description's text.
    for (bool description = true; !rest.empty(); description = !description) {
        const std::size_t bar = rest.find('|');
        const std::string_view part = rest.substr(0, bar);
        if (description && !part.empty()) {
            if (!result.empty()) result += ";;";
            result += part;
        }
        if (bar == std::string_view::npos) break;
        rest.remove_prefix(bar + 1);
    }
    return result;
}

}  // namespace corvel
