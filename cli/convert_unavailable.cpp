// Built without the data log library: the tool has no "convert".
#include "cli_commands.h"

namespace corvel::cli {

std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> LogConverterCommand() {
    return {};
}

}  // namespace corvel::cli
