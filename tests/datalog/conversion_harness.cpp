#include "tests/datalog/conversion_harness.h"

#include <fstream>
#include <sstream>
#include <unistd.h>

#include "datalog/log_converter.h"

namespace corvel::testing {

std::string Lines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string Value(std::string_view text) {
    return std::string(text.size() < 12 ? 12 - text.size() : 0, ' ') + std::string(text);
}

std::string Row(int row, std::string_view time, std::array<std::string_view, 5> columns, std::string_view status) {
    std::string line = std::to_string(row) + "," + std::string(time);
    for (std::string_view column : columns) line += "," + (column.empty() ? std::string() : Value(column));
    return line + "," + std::string(status);
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void ConversionTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("corvel-datalog-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    input = folder / "log.bin";
    output = folder / "log.csv";
}

void ConversionTest::TearDown() { std::filesystem::remove_all(folder); }

std::string ConversionTest::convertLog(const LogBuilder& log) {
    log.writeTo(input);
    converted = convert(input, output, prompter);
    return ReadFile(output);
}

}  // namespace corvel::testing
