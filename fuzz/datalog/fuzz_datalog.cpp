// Feeds arbitrary bytes as a data log file through the reader and the
// converter, answering Yes to every question. The sample counts in the module
// headers are cut down first, so that a file ending early cannot ask for
// billions of repeated lines.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bytes.h"
#include "log_converter.h"
#include "log_file_format.h"

namespace {

using namespace corvel;

class AnswerYes final : public ConversionPrompter {
public:
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void report(const std::string&) override {}
};

constexpr std::int32_t kMaxSampleCount = 300;

void CutSampleCounts(std::vector<std::uint8_t>& file) {
    const std::size_t modules = U8At(file, 10);
    for (std::size_t module = 0; module < modules; ++module) {
        for (std::size_t channel = 0; channel < kChannelsPerModule; ++channel) {
            const std::size_t offset = kLogFileHeaderSize + module * kModuleHeaderSize + 16 + channel * kChannelInfoSize + 4;
            PutU32(file, offset, static_cast<std::uint32_t>(S32At(file, offset) % kMaxSampleCount));
        }
    }
}

// The file every input is written to, removed when the fuzzer ends.
struct InputFile {
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("fuzz-datalog-" + std::to_string(getpid()) + ".bin");
    ~InputFile() {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
};

const std::filesystem::path& InputPath() {
    static const InputFile file;
    return file.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> file(data, data + size);
    CutSampleCounts(file);
    std::ofstream(InputPath(), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    AnswerYes prompter;
    convert(InputPath(), "/dev/null", prompter);
    return 0;
}
