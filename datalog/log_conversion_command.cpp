#include "datalog/log_conversion_command.h"

#include <ostream>
#include <vector>

#include "datalog/conversion_prompter.h"
#include "datalog/log_converter.h"

namespace corvel {

namespace {

constexpr const char* kUsage = "usage: corvelctl convert IN.bin OUT.csv [--accept-short]\n";

constexpr const char* kPrefix = "corvelctl: ";

// Answers the short-header questions from the command line's switch and
// prints every question and report, file errors with the system's reason.
class CommandLinePrompter final : public ConversionPrompter {
public:
    CommandLinePrompter(std::ostream& err, bool acceptShort) : err_(err), acceptShort_(acceptShort) {}

    bool askYesNo(const std::string& caption, const std::string& text) override {
        err_ << kPrefix << caption << ": " << text
             << (acceptShort_ ? " Yes\n" : " No (give --accept-short to continue)\n");
        return acceptShort_;
    }
    void report(const std::string& text) override { err_ << kPrefix << text << '\n'; }
    void reportFileError(FileAccess access, std::error_code error, const std::filesystem::path& path) override {
        const std::filesystem::path folder = path.parent_path();
        std::error_code ignored;
        if (access == FileAccess::Write && !folder.empty() && !std::filesystem::exists(folder, ignored)) {
            report("folder " + folder.string() + " does not exist");
        } else {
            report((access == FileAccess::Write ? "cannot write " : "cannot read ") + path.string() + ": " +
                   error.message());
        }
    }
    void inform(const std::string& text) override { err_ << kPrefix << text << '\n'; }

private:
    std::ostream& err_;
    bool acceptShort_;
};

// Shows "converting: NN%" on one terminal line, rewritten as the percentage grows.
class PercentDisplay {
public:
    explicit PercentDisplay(std::ostream& err) : err_(err) {}
    ~PercentDisplay() {
        if (shown_ >= 0) err_ << '\n';
    }

    void show(std::uint64_t bytesRead, std::uint64_t fileSize) {
        const int percent = fileSize == 0 ? 100 : static_cast<int>(bytesRead * 100 / fileSize);
        if (percent == shown_) return;
        shown_ = percent;
        err_ << "\rconverting: " << percent << '%' << std::flush;
    }

private:
    std::ostream& err_;
    int shown_ = -1;
};

struct ConversionArguments {
    std::string input;
    std::string output;
    bool acceptShort = false;
};

bool ParseArguments(std::span<const std::string> args, ConversionArguments& parsed) {
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg == "--accept-short")
            parsed.acceptShort = true;
        else if (arg.starts_with("--"))
            return false;
        else
            paths.push_back(arg);
    }
    if (paths.size() != 2) return false;
    parsed.input = paths[0];
    parsed.output = paths[1];
    return true;
}

}  // namespace

int RunLogConversionCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err,
                            bool showProgress, const ConversionStop& interrupted) {
    ConversionArguments arguments;
    if (!ParseArguments(args, arguments)) {
        err << kPrefix << "convert needs IN.bin and OUT.csv\n" << kUsage;
        return kExitUsage;
    }
    CommandLinePrompter prompter(err, arguments.acceptShort);
    bool converted = false;
    {
        PercentDisplay display(err);
        ConversionProgress progress;
        if (showProgress) progress = [&display](std::uint64_t done, std::uint64_t size) { display.show(done, size); };
        converted = convert(arguments.input, arguments.output, prompter, progress, interrupted);
    }
    if (!converted && interrupted && interrupted()) {
        err << kPrefix << "conversion of " << arguments.input << " interrupted; nothing was written\n";
        return kExitInterrupted;
    }
    if (!converted) {
        err << kPrefix << "conversion of " << arguments.input << " failed\n";
        return kExitConversionFailed;
    }
    out << "converted " << arguments.input << " to " << arguments.output << '\n';
    return 0;
}

}  // namespace corvel
