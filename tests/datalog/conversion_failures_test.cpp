// Short headers, file errors, and the command-line entry.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

#include <algorithm>
#include <sstream>

#include "tests/datalog/conversion_harness.h"
#include "datalog/log_conversion_command.h"
#include "datalog/log_converter.h"

namespace corvel::testing {
namespace {

class ConversionFailuresTest : public ConversionTest {
protected:
    // Writes the first `size` bytes of `log` as the input and converts it.
    std::string convertCut(const LogBuilder& log, std::size_t size) {
        std::vector<std::uint8_t> bytes = log.bytes();
        bytes.resize(size);
        WriteBytes(input, bytes);
        converted = convert(input, output, prompter);
        return ReadFile(output);
    }
};

TEST_F(ConversionFailuresTest, AShortFileHeaderAsksWhetherToGoOn) {
    LogBuilder log = TwoModuleLog();
    prompter.answer = false;
    convertCut(log, 30);
    EXPECT_FALSE(converted);
    EXPECT_EQ(prompter.questions,
              std::vector<std::string>{"Error reading file: File header length less than expected, continue?"});
    EXPECT_TRUE(prompter.reports.empty());
    EXPECT_FALSE(std::filesystem::exists(output));

    // Yes: the missing bytes read as zero (module count 0)
    prompter.answer = true;
    const std::string text = convertCut(log, 30);
    EXPECT_TRUE(converted);
    EXPECT_TRUE(text.starts_with("Log Name: Tank 3\r\nStart Time: 03/15/2024 10:00:00\r\nUnit S/N: \r\nInterval: 0 sec"))
        << text;
}

TEST_F(ConversionFailuresTest, AShortModuleHeaderAsksWhetherToGoOn) {
    LogBuilder log = TwoModuleLog();
    prompter.answer = false;
    convertCut(log, 60 + 112 + 40);
    EXPECT_FALSE(converted);
    EXPECT_EQ(prompter.questions,
              std::vector<std::string>{"Error reading file: Module header length less than expected, continue?"});
    EXPECT_FALSE(std::filesystem::exists(output));

    // Yes: the cut module keeps its 40 bytes (type, mode and part of channel 1)
    prompter.answer = true;
    const std::string text = convertCut(log, 60 + 112 + 40);
    EXPECT_TRUE(converted);
    EXPECT_NE(text.find(",,Pressure: Measure,,Volt Current: V Measure    \r\n"
                        "Sample,Time,P1:PSI,P2:N/A,Volts:V,Curr:mA,Temp:,Status\r\n"),
              std::string::npos)
        << text;
}

TEST_F(ConversionFailuresTest, AnInputThatCannotBeOpenedIsReported) {
    converted = convert(folder / "absent.bin", output, prompter);
    EXPECT_FALSE(converted);
    EXPECT_EQ(prompter.reports, std::vector<std::string>{(folder / "absent.bin").string() + " was not found."});
    EXPECT_FALSE(std::filesystem::exists(output));

    prompter.reports.clear();
    converted = convert(folder, output, prompter);
    EXPECT_FALSE(converted);
    EXPECT_EQ(prompter.reports, std::vector<std::string>{"Access to " + folder.string() + " was denied."});
}

TEST_F(ConversionFailuresTest, AnOutputThatCannotBeCreatedIsReported) {
    TwoModuleLog().writeTo(input);
    const auto inMissingFolder = folder / "missing" / "out.csv";
    EXPECT_FALSE(convert(input, inMissingFolder, prompter));
    EXPECT_FALSE(convert(input, folder, prompter));
    EXPECT_EQ(prompter.reports, (std::vector<std::string>{inMissingFolder.string() + " was not found.",
                                                          "Cannot write " + folder.string() + ": it is not a regular file."}));
}

TEST_F(ConversionFailuresTest, ATargetThatIsNoRegularFileIsRefusedAndTheInputIsNeverTheOutput) {
    TwoModuleLog().writeTo(input);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(convert(input, "/dev/full", prompter));
        EXPECT_EQ(prompter.reports, std::vector<std::string>{"Cannot write /dev/full: it is not a regular file."});
    }
    // The log converted onto itself, by its name or through a hard link: refused, the log intact
    const std::uintmax_t size = std::filesystem::file_size(input);
    const auto link = folder / "link.bin";
    std::filesystem::create_hard_link(input, link);
    prompter.reports.clear();
    EXPECT_FALSE(convert(input, input, prompter));
    EXPECT_FALSE(convert(input, link, prompter));
    EXPECT_EQ(prompter.reports, (std::vector<std::string>{"The log file cannot be converted onto itself: " + input.string(),
                                                          "The log file cannot be converted onto itself: " + link.string()}));
    EXPECT_EQ(std::filesystem::file_size(input), size);
}

TEST_F(ConversionFailuresTest, AFileThatIsNoLogIsRefusedAndAnExistingOutputStays) {
    // GIVEN 5 KB of bytes that are no log, and an output file of that name already
    std::vector<std::uint8_t> noise(5000);
    std::uint32_t state = 12345;
    for (std::uint8_t& byte : noise) byte = static_cast<std::uint8_t>((state = state * 1103515245u + 12345u) >> 24);
    noise[10] = 1;  // one module, so that the headers are read whole
    std::ofstream(input, std::ios::binary).write(reinterpret_cast<const char*>(noise.data()),
                                                  static_cast<std::streamsize>(noise.size()));
    std::ofstream(output) << "previous";
    // WHEN it is converted, short headers accepted
    EXPECT_FALSE(convert(input, output, prompter));
    // THEN it is refused with the reason, and the output is untouched and alone in its folder
    ASSERT_EQ(prompter.reports.size(), 1u);
    EXPECT_TRUE(prompter.reports[0].starts_with(input.string() + " is not a data log file, or it is damaged: "));
    std::ifstream kept(output);
    std::string text;
    std::getline(kept, text);
    EXPECT_EQ(text, "previous");
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
    EXPECT_EQ(files, 2u);
}

TEST_F(ConversionFailuresTest, ALogCutShortConvertsAndSaysSo) {
    // GIVEN a log that promises 6 samples and holds 2 instants
    LogBuilder log = TwoModuleLog(100, 6);
    log.value(0x40, 1, 0, 1.0f).value(0x41, 4, 0, 20.0f).value(0x40, 1, 100, 2.0f).value(0x41, 4, 100, 21.0f);
    log.writeTo(input);
    EXPECT_TRUE(convert(input, output, prompter));
    EXPECT_EQ(prompter.informed, std::vector<std::string>{
                                     "The log ends after 2 of 6 samples; the remaining lines repeat the last values, marked D."});
}

// Replaces the open descriptor of `path` with one of a folder, so that every
// further read of it fails. False when no such descriptor is open.
bool BreakReadsOf(const std::filesystem::path& path) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        if (std::filesystem::read_symlink(entry.path(), error) != path) continue;
        const int folder = ::open("/", O_RDONLY | O_DIRECTORY);
        const bool replaced = folder >= 0 && ::dup2(folder, std::stoi(entry.path().filename().string())) >= 0;
        if (folder >= 0) ::close(folder);
        return replaced;
    }
    return false;
}

TEST_F(ConversionFailuresTest, AReadFailureStopsTheLinesAndIsReported) {
    // GIVEN a log promising far more samples than it holds, whose reads fail
    // once the conversion has begun
    constexpr int kInstants = 6000;  // several read chunks
    LogBuilder log = TwoModuleLog(100, 100'000);
    for (int instant = 0; instant < kInstants; ++instant) log.instant(instant * 100, {1.0f, 2.0f, 3.0f, 4.0f, 5.0f});
    log.writeTo(input);
    bool broken = false;
    const auto breakOnce = [&](std::uint64_t, std::uint64_t) {
        if (!broken) broken = BreakReadsOf(std::filesystem::canonical(input));
    };
    converted = convert(input, output, prompter, breakOnce);
    if (!broken) GTEST_SKIP() << "no /proc/self/fd";

    // THEN the conversion fails with the file error and stops at once
    // instead of padding the output with repeated lines
    EXPECT_FALSE(converted);
    EXPECT_EQ(prompter.reports, std::vector<std::string>{"Access to " + input.string() + " was denied."});
    const std::string text = ReadFile(output);
    EXPECT_LT(std::count(text.begin(), text.end(), '\n'), kInstants);
}

class LogConversionCommandTest : public ConversionTest {
protected:
    int run(std::vector<std::string> args, bool showProgress = false, const ConversionStop& interrupted = {}) {
        out.str("");
        err.str("");
        return RunLogConversionCommand(args, out, err, showProgress, interrupted);
    }

    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(LogConversionCommandTest, ConvertsAndReportsProgressWhenAsked) {
    LogBuilder log = TwoModuleLog(100, 1);
    log.instant(0, {1, 2, 3, 4, 5});
    log.writeTo(input);
    EXPECT_EQ(run({input.string(), output.string()}, true), 0);
    EXPECT_EQ(out.str(), "converted " + input.string() + " to " + output.string() + "\n");
    EXPECT_TRUE(err.str().ends_with("converting: 100%\n")) << err.str();
    EXPECT_TRUE(ReadFile(output).ends_with(",Status\r\n1,10:00:00,        1.00,        2.00,       3.000,       4.000,"
                                           "         5.0,\r\n"));
    EXPECT_EQ(run({input.string(), output.string()}), 0);
    EXPECT_EQ(err.str(), "");
}

TEST_F(LogConversionCommandTest, ShortHeadersAreRefusedUnlessAccepted) {
    std::vector<std::uint8_t> bytes = TwoModuleLog().bytes();
    bytes.resize(100);
    WriteBytes(input, bytes);

    EXPECT_EQ(run({input.string(), output.string()}), kExitConversionFailed);
    EXPECT_NE(err.str().find("Error reading file: Module header length less than expected, continue? No"),
              std::string::npos)
        << err.str();
    EXPECT_NE(err.str().find("corvelctl: conversion of " + input.string() + " failed"), std::string::npos);

    EXPECT_EQ(run({input.string(), "--accept-short", output.string()}), 0);
    EXPECT_NE(err.str().find("continue? Yes"), std::string::npos);
}

TEST_F(LogConversionCommandTest, FileErrorsNameTheFileAndTheSystemsReason) {
    LogBuilder log = TwoModuleLog(100, 1);
    log.instant(0, {1, 2, 3, 4, 5});
    log.writeTo(input);
    const std::filesystem::path none = folder / "none.bin";
    EXPECT_EQ(run({none.string(), output.string()}), kExitConversionFailed);
    EXPECT_EQ(err.str(), "corvelctl: cannot read " + none.string() + ": No such file or directory\n"
                         "corvelctl: conversion of " + none.string() + " failed\n");
    const std::filesystem::path missingFolder = folder / "nonexistent" / "dir";
    EXPECT_EQ(run({input.string(), (missingFolder / "y.csv").string()}), kExitConversionFailed);
    EXPECT_TRUE(err.str().starts_with("corvelctl: folder " + missingFolder.string() + " does not exist\n")) << err.str();
    const std::filesystem::path underAFile = input / "y.csv";
    EXPECT_EQ(run({input.string(), underAFile.string()}), kExitConversionFailed);
    EXPECT_TRUE(err.str().starts_with("corvelctl: cannot write " + underAFile.string() + ": Not a directory\n"))
        << err.str();
}

TEST_F(LogConversionCommandTest, UsageErrorsSayWhatIsMissing) {
    EXPECT_EQ(run({}), kExitUsage);
    EXPECT_TRUE(err.str().starts_with("corvelctl: convert needs IN.bin and OUT.csv\nusage: ")) << err.str();
    EXPECT_EQ(run({"a.bin"}), kExitUsage);
    EXPECT_EQ(run({"a.bin", "b.csv", "--verbose"}), kExitUsage);
}

TEST_F(LogConversionCommandTest, AnInterruptedConversionLeavesNothingBehind) {
    // GIVEN a log of several read chunks and an older CSV of the same name
    LogBuilder log = TwoModuleLog(100, 20'000);
    for (int instant = 0; instant < 20'000; ++instant) log.instant(instant * 100, {1.0f, 2.0f, 3.0f, 4.0f, 5.0f});
    log.writeTo(input);
    WriteBytes(output, {'o', 'l', 'd'});
    // WHEN Ctrl-C arrives once the lines have begun
    int asked = 0;
    EXPECT_EQ(run({input.string(), output.string()}, false, [&] { return ++asked > 1; }), kExitInterrupted);
    // THEN it says so, the older file is intact and no partial file is left
    EXPECT_EQ(err.str(), "corvelctl: conversion of " + input.string() + " interrupted; nothing was written\n");
    EXPECT_EQ(ReadFile(output), "old");
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_TRUE(entry.path() == input || entry.path() == output) << entry.path();
}

}  // namespace
}  // namespace corvel::testing
