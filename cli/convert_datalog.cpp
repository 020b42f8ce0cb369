// "convert" runs the data log converter's command line.
#include "cli_commands.h"
#include "log_conversion_command.h"

namespace corvel::cli {

std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)> LogConverterCommand() {
    return [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
        return RunLogConversionCommand(args, out, err, false);
    };
}

}  // namespace corvel::cli
