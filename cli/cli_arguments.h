#pragma once
// Command-line arguments of corvelctl: the options every command knows, and
// the arguments a command takes itself. Usage mistakes throw UsageError.

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvel::cli {

// A mistake in the command line: exit status 2 with the message.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A failed device or file operation: exit status 1 with the message, and a
// hint of what to check or try next on a line of its own when there is one.
struct OperationError : std::runtime_error {
    using std::runtime_error::runtime_error;
    OperationError(const std::string& what, std::string hint) : std::runtime_error(what), hint(std::move(hint)) {}

    std::string hint;
};

struct GlobalOptions {
    std::string port = "COM1";
    std::uint32_t baudRate = 115200;
    std::uint8_t address = 40;
    bool json = false;
    bool trace = false;  // every exchange's bytes on the error stream
    bool acceptDamagedReplies = false;  // let replies that fail their checks through
    bool help = false;
    bool version = false;  // print the program version and end
};

// Takes the global options from anywhere in `args`; what remains, in order,
// starts with the command name.
GlobalOptions TakeGlobalOptions(std::vector<std::string>& args);

// The arguments of one command.
class Arguments {
public:
    explicit Arguments(std::vector<std::string> items) : items_(std::move(items)) {}

    bool takeFlag(const std::string& name);
    std::optional<std::string> takeValue(const std::string& name);
    // The next positional argument; `what` names it in the usage error.
    std::string takePositional(const std::string& what);
    std::optional<std::string> takeOptionalPositional();
    // Everything not taken yet, in order.
    std::vector<std::string> takeRest() { return std::exchange(items_, {}); }
    // Throws when anything is left over.
    void finish() const;

private:
    std::vector<std::string> items_;
};

// The number of a COM port argument ("COM3", "com12", "\\.\COM100"; any
// number, also outside the ports there are), or nothing for another name.
std::optional<long long> ComArgumentNumber(std::string_view name);

// Whole decimal numbers in a range, for option values.
long long ParseInteger(const std::string& text, long long low, long long high, const std::string& what);
double ParseSeconds(const std::string& text, const std::string& what);

}  // namespace corvel::cli
