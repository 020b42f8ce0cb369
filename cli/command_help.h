#pragma once
// The help texts of corvelctl: the usage line, what the command does, its
// commands one usage line each ("logs download NUMBER FILE.bin"), then its
// arguments and options.

#include <CLI/CLI.hpp>

#include <string>

namespace corvel::cli {

class CommandHelp final : public CLI::Formatter {
public:
    CommandHelp();
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
};

// A command's names and arguments as one types them, after the tool's name
// and options: "read [--count N] [--interval SECONDS]".
std::string CommandUsage(const CLI::App& command);

}  // namespace corvel::cli
