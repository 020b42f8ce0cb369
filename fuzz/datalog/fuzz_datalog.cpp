// Feeds arbitrary bytes as a data log file through the reader and the
// converter, answering Yes to every question. The converter's own check of
// the sample count against the file's size keeps each run short.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "datalog/log_converter.h"

namespace {

using namespace corvel;

class AnswerYes final : public ConversionPrompter {
public:
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void report(const std::string&) override {}
};

// A file of this run, removed when the fuzzer ends.
struct ScratchFile {
    explicit ScratchFile(const char* suffix)
        : path(std::filesystem::temp_directory_path() / ("fuzz-datalog-" + std::to_string(getpid()) + suffix)) {}
    ~ScratchFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    std::filesystem::path path;
};

const std::filesystem::path& InputPath() {
    static const ScratchFile file(".bin");
    return file.path;
}

// The converted text goes to a regular file (a device is refused as the output).
const std::filesystem::path& OutputPath() {
    static const ScratchFile file(".csv");
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    AnswerYes prompter;
    convert(InputPath(), OutputPath(), prompter);
    return 0;
}
