// Times the conversion of a two-module log of one million instants (five
// records each) against a bare loop that reads the same file and writes as
// many bytes as the conversion does, and prints the peak resident memory.
// "--instants N" converts a smaller or larger log (for profiling).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "datalog/log_converter.h"
#include "datalog/log_file_format.h"

namespace {

using namespace corvel;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultInstants = 1'000'000;
constexpr int kRuns = 3;

class AnswerYes final : public ConversionPrompter {
public:
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void report(const std::string& text) override { std::cerr << "report: " << text << '\n'; }
};

void PutChannel(MutableByteSpan module, int number, const char* units, std::int8_t decimals, int instants) {
    const auto info = module.subspan(16 + static_cast<std::size_t>(number - 1) * kChannelInfoSize, kChannelInfoSize);
    PutU32(info, 0, 100);
    PutU32(info, 4, static_cast<std::uint32_t>(instants));
    PutText(info, 8, 8, units);
    PutF32(info, 16, 1.0f);
    PutU8(info, 21, static_cast<std::uint8_t>(decimals));
}

void WriteLog(const std::filesystem::path& path, int instants) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::array<std::uint8_t, kLogFileHeaderSize> header{};
    PutU16(header, 2, 2024);
    PutU8(header, 4, 3);
    PutU8(header, 5, 15);
    PutU8(header, 7, 10);
    PutU8(header, 10, 2);
    PutText(header, 12, 32, "Benchmark");
    PutText(header, 44, 16, "SN-BENCH");
    std::fwrite(header.data(), 1, header.size(), file);
    std::array<std::uint8_t, kModuleHeaderSize> pressure{};
    PutChannel(pressure, 1, "PSI", 2, instants);
    PutChannel(pressure, 2, "bar", 3, instants);
    std::fwrite(pressure.data(), 1, pressure.size(), file);
    std::array<std::uint8_t, kModuleHeaderSize> voltageCurrent{};
    PutU8(voltageCurrent, 14, kVoltageCurrentModuleKind);
    PutChannel(voltageCurrent, 1, "V", 3, instants);
    PutChannel(voltageCurrent, 2, "mA", 3, instants);
    PutChannel(voltageCurrent, 4, "\xB0" "F", 1, instants);
    std::fwrite(voltageCurrent.data(), 1, voltageCurrent.size(), file);

    std::vector<std::uint8_t> records(static_cast<std::size_t>(5 * kSampleRecordSize));
    for (int i = 0; i < instants; ++i) {
        const float wobble = static_cast<float>(i % 997) * 0.013f;
        const std::array<std::pair<std::uint8_t, std::uint8_t>, 5> channels = {
            {{0x40, 1}, {0x40, 2}, {0x41, 1}, {0x41, 2}, {0x41, 4}}};
        const std::array<float, 5> values = {14.7f + wobble, 1.01f + wobble * 0.1f, 4.5f - wobble * 0.2f,
                                             12.0f + wobble, 21.5f + wobble};
        for (std::size_t r = 0; r < 5; ++r) {
            const auto record = MutableByteSpan(records).subspan(r * kSampleRecordSize, kSampleRecordSize);
            PutU8(record, 0, channels[r].first);
            PutU8(record, 1, channels[r].second);
            PutU8(record, 3, 0);
            PutU32(record, 4, static_cast<std::uint32_t>(i * 100));
            PutF32(record, 8, values[r]);
        }
        std::fwrite(records.data(), 1, records.size(), file);
    }
    std::fclose(file);
}

// Reads `input` in 64 KiB chunks and writes `outputBytes` bytes in 1 MiB writes.
void BareCopy(const std::filesystem::path& input, const std::filesystem::path& output, std::uintmax_t outputBytes) {
    std::FILE* in = std::fopen(input.c_str(), "rb");
    std::FILE* out = std::fopen(output.c_str(), "wb");
    std::setvbuf(out, nullptr, _IONBF, 0);
    std::vector<char> chunk(64 * 1024);
    std::vector<char> block(1 << 20, 'x');
    std::size_t pending = 0;
    std::uintmax_t written = 0;
    while (const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), in)) {
        pending += got * 3 / 2;  // the output grows a little faster than the input
        while (pending >= block.size() && written + block.size() <= outputBytes) {
            written += std::fwrite(block.data(), 1, block.size(), out);
            pending -= block.size();
        }
    }
    if (written < outputBytes) std::fwrite(block.data(), 1, static_cast<std::size_t>(outputBytes - written), out);
    std::fclose(in);
    std::fclose(out);
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Best wall-clock and processor time of a few runs: on a busy machine the
// processor time is the steadier figure.
struct Timing {
    double wall = 1e9;
    double cpu = 1e9;
};

Timing TimeOf(const auto& work) {
    Timing best;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = Clock::now();
        const double cpuStart = CpuSeconds();
        work();
        best.cpu = std::min(best.cpu, CpuSeconds() - cpuStart);
        best.wall = std::min(best.wall, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

int InstantsFromArguments(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--instants") == 0) return std::max(1, std::atoi(argv[2]));
    return kDefaultInstants;
}

}  // namespace

int main(int argc, char** argv) {
    const int instants = InstantsFromArguments(argc, argv);
    const auto folder = std::filesystem::temp_directory_path() / ("corvel-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto input = folder / "log.bin";
    const auto output = folder / "log.csv";
    const auto bareOutput = folder / "bare.out";
    WriteLog(input, instants);

    AnswerYes prompter;
    bool ok = true;
    const Timing conversion = TimeOf([&] { ok = convert(input, output, prompter) && ok; });
    const std::uintmax_t inputBytes = std::filesystem::file_size(input);
    const std::uintmax_t outputBytes = std::filesystem::file_size(output);
    const Timing bare = TimeOf([&] { BareCopy(input, bareOutput, outputBytes); });

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::filesystem::remove_all(folder);

    const double mb = 1e6;
    std::printf("instants            %d (5 records each)\n", instants);
    std::printf("input               %.1f MB, output %.1f MB\n", static_cast<double>(inputBytes) / mb,
                static_cast<double>(outputBytes) / mb);
    std::printf("conversion          %.3f s wall, %.3f s processor: input %.1f MB/s, output %.1f MB/s\n",
                conversion.wall, conversion.cpu, static_cast<double>(inputBytes) / mb / conversion.wall,
                static_cast<double>(outputBytes) / mb / conversion.wall);
    std::printf("bare read+write     %.3f s wall, %.3f s processor\n", bare.wall, bare.cpu);
    std::printf("ratio               %.2f wall, %.2f processor (target at most 3)\n", conversion.wall / bare.wall,
                conversion.cpu / bare.cpu);
    std::printf("peak resident       %.1f MB (target under 32)\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    return ok ? 0 : 1;
}
