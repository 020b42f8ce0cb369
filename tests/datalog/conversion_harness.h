#pragma once
// Runs the converter on logs built in the tests and hands back the output
// text, the questions asked and the reports made.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "datalog/conversion_prompter.h"
#include "tests/datalog/log_builder.h"

namespace corvel::testing {

class RecordingPrompter final : public ConversionPrompter {
public:
    bool askYesNo(const std::string& caption, const std::string& text) override {
        questions.push_back(caption + ": " + text);
        return answer;
    }
    void report(const std::string& text) override { reports.push_back(text); }
    void inform(const std::string& text) override { informed.push_back(text); }

    bool answer = true;
    std::vector<std::string> questions;
    std::vector<std::string> reports;
    std::vector<std::string> informed;
};

// Every line followed by CR LF.
std::string Lines(std::initializer_list<std::string_view> lines);

// A value text right-aligned in 12 characters.
std::string Value(std::string_view text);

// A data line: row, time, the five columns (value texts are right-aligned,
// empty ones stay empty) and the status, without its line end.
std::string Row(int row, std::string_view time, std::array<std::string_view, 5> columns, std::string_view status = "");

std::string ReadFile(const std::filesystem::path& path);

// Each test gets a folder of its own for its log and output files.
class ConversionTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Converts `log` and returns the output text (empty when no output exists).
    std::string convertLog(const LogBuilder& log);

    std::filesystem::path folder;
    std::filesystem::path input;
    std::filesystem::path output;
    RecordingPrompter prompter;
    bool converted = false;
};

// The header lines of TwoModuleLog(100, 3).
inline constexpr std::string_view kTwoModuleHeader =
    "Log Name: Tank 3\r\n"
    "Start Time: 03/15/2024 10:00:00\r\n"
    "Unit S/N: SN4400-17\r\n"
    "Interval: 1 sec\r\n"
    "Number of Samples: 3\r\n"
    "Data Log Duration: 0 mins\r\n"
    "\r\n"
    ",,Pressure: Measure,,Volt Current: V Measure    \r\n"
    "Sample,Time,P1:PSI,P2:N/A,Volts:V,Curr:mA,Temp:C,Status\r\n";

}  // namespace corvel::testing
