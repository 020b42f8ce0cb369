// corvel-logconv: converts a data log file (.bin) into comma-separated text.
#include <iostream>
#include <string>
#include <vector>

#include "file_access.h"
#include "log_conversion_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return corvel::RunLogConversionCommand(args, std::cout, std::cerr, corvel::StandardErrorIsTerminal());
}
