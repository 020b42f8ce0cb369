#include "cli/command_help.h"

#include <sstream>
#include <vector>

namespace corvel::cli {

namespace {

bool IsTool(const CLI::App& app) { return app.get_parent() == nullptr; }

bool IsGroup(const CLI::App& app) { return !app.get_subcommands({}).empty(); }

// The commands under `app` that run, in the order they were added; a group
// ("logs") stands for its own commands.
void AddRunnableCommands(const CLI::App& app, std::vector<const CLI::App*>& commands) {
    for (const CLI::App* command : app.get_subcommands({})) {
        if (IsGroup(*command))
            AddRunnableCommands(*command, commands);
        else
            commands.push_back(command);
    }
}

// "NUMBER" for an argument, "[--count N]" or "[--yes]" for an option.
std::string OptionUsage(const CLI::Option& option) {
    if (option.get_positional()) return option.get_name(true);
    const std::string& value = option.get_option_text();
    return "[" + option.get_name() + (value.empty() ? "" : " " + value) + "]";
}

}  // namespace

CommandHelp::CommandHelp() {
    column_width(28);
    label("Positionals", "Arguments");
}

std::string CommandUsage(const CLI::App& command) {
    if (IsTool(command)) return "COMMAND [ARGUMENTS]";
    std::string usage = command.get_name();
    for (const CLI::App* group = command.get_parent(); !IsTool(*group); group = group->get_parent())
        usage = group->get_name() + " " + usage;
    if (IsGroup(command)) return usage + " ACTION [ARGUMENTS]";
    for (const CLI::Option* argument : command.get_options([](const CLI::Option* o) { return o->get_positional(); }))
        usage += " " + OptionUsage(*argument);
    const CLI::Option* help = command.get_help_ptr();
    for (const CLI::Option* option :
         command.get_options([help](const CLI::Option* o) { return o->nonpositional() && o != help; }))
        usage += " " + OptionUsage(*option);
    return usage;
}

std::string CommandHelp::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
    std::ostringstream out;
    out << "usage: corvelctl [OPTIONS] " << CommandUsage(*app) << '\n';
    if (!app->get_description().empty()) out << '\n' << app->get_description() << '\n';
    std::vector<const CLI::App*> commands;
    AddRunnableCommands(*app, commands);
    if (!commands.empty()) out << "\nCommands:\n";
    for (const CLI::App* command : commands) out << "  " << CommandUsage(*command) << '\n';
    out << make_positionals(app);
    // A command's help leaves out its own --help.
    out << make_groups(app, IsTool(*app) ? CLI::AppFormatMode::Normal : CLI::AppFormatMode::Sub);
    if (IsTool(*app)) out << '\n' << app->get_footer() << '\n';
    return out.str();
}

}  // namespace corvel::cli
