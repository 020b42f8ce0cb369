// corvelctl: the command-line tool over the device link.
#include <functional>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "cli/corvelctl.h"
#include "datalog/file_access.h"
#include "link/port_permission.h"
#include "link/system_serial_port.h"

namespace {

// A yes/no question on the terminal, when standard input is one.
std::function<bool(const std::string&)> AskOnTerminal() {
    if (!corvel::StandardInputIsTerminal()) return {};
    return [](const std::string& question) {
        std::cerr << question << " [y/N] " << std::flush;
        std::string answer;
        std::getline(std::cin, answer);
        return answer == "y" || answer == "Y" || answer == "yes";
    };
}

}  // namespace

int main(int argc, char** argv) {
    const corvel::cli::CliEnvironment environment{
        corvel::SystemSerialPortFactory(), std::cout, std::cerr, corvel::StandardErrorIsTerminal(),
        [](std::chrono::duration<double> interval) { std::this_thread::sleep_for(interval); },
        corvel::cli::LogConverterCommand(), AskOnTerminal(), corvel::SystemDeviceOf};
    // How to get access to a port this user may not open: once, after the
    // command's own failure message.
    std::string permissionHint;
    const corvel::ScopedPortPermissionListener listener(
        corvel::HintOncePerRun([&permissionHint](const std::string& hint) { permissionHint = hint; }));
    const int status = corvel::cli::RunCorvelctl(std::vector<std::string>(argv + 1, argv + argc), environment);
    if (!permissionHint.empty()) std::cerr << "corvelctl: " << permissionHint << '\n';
    return status;
}
