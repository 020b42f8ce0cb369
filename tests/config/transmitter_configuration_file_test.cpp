// The configuration document as JSON: numbers and texts come back unchanged
// whatever the process locale, and a damaged file never becomes values.

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>

#include "config/transmitter_configuration.h"

namespace corvel {
namespace {

TransmitterConfiguration Sample() {
    TransmitterConfiguration c;
    c.readTime = "2026-12-08T15:47:13Z";
    c.utilityVersion = "1.1";
    c.identity = {"440D", "T4400 Analog Output", "SIM0000001", "01.00"};
    c.tag = "PT-101 Übergabe";
    c.asset = "A-7";
    c.description = "Line 3, \"north\" header";
    c.p1 = {2, "kPa", 2, true, 2.5f, kDampingSmart};
    c.temperatureUnit = kCelsius;
    c.temperatureUnitName = "C";
    AnalogOutputConfiguration ao;
    ao.lrv = -0.1f;
    ao.urv = 1234.567f;
    ao.conversionFactor = 6.894757f;
    ao.output = OutputType::Current;
    ao.aoAtLrv = 4.0f;
    ao.aoAtUrv = 19.99f;
    ao.transmitterAlarm = 1;
    ao.transfer = 1;
    ao.squareRootValue = 1e-7f;
    ao.digitalOutputs = {DigitalOutputSettings{kAlarmClosed, 1, 10.1f, 90.0f, 0.7f},
                         DigitalOutputSettings{kAlarmInactive, 5, 33.333332f, 0.0f, 1.0f}};
    c.analogOutput = ao;
    return c;
}

class Locale {
public:
    explicit Locale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~Locale() { std::setlocale(LC_ALL, previous_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string previous_;
    bool ok_ = false;
};

TEST(ConfigurationFile, RoundTripsUnderAGermanLocale) {
    const Locale german("de_DE.UTF-8");
    if (!german.ok()) GTEST_SKIP() << "de_DE.UTF-8 not available";
    const std::string json = ConfigurationToJson(Sample());
    EXPECT_NE(json.find("\"urv\": 1234.567,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"lrv\": -0.1,"), std::string::npos) << json;
    const LoadedConfiguration loaded = ConfigurationFromJson(json);
    ASSERT_TRUE(loaded.configuration) << loaded.error;
    EXPECT_EQ(*loaded.configuration, Sample());
}

TEST(ConfigurationFile, DamagedDocumentsNameTheWrongField) {
    const std::string good = ConfigurationToJson(Sample());
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    const std::pair<std::string, std::string> cases[] = {
        {good.substr(0, good.size() / 2), "not a JSON document (byte "},
        {replaced("corvel-transmitter-configuration", "other"), "format: not \"corvel-transmitter-configuration\""},
        {replaced("\"version\": 1", "\"version\": 2"), "version: 2 is not a version this utility reads"},
        {replaced("\"urv\": 1234.567", "\"urv\": \"1234.567\""), "analog_output.urv: not a number"},
        {replaced("\"urv\": 1234.567", "\"urv\": 1e39"), "analog_output.urv: outside the numbers"},
        {replaced("\"unit_code\": 2", "\"unit_code\": 256"), "pressure_inputs[0].unit_code: outside 0 to 255"},
        {replaced("\"condition\": \"Not Between\"", "\"condition\": \"Above\""),
         "analog_output.digital_outputs[0].condition: not a condition"},
        {replaced("\"state\": \"Closed\"", "\"state\": \"Shut\""), "analog_output.digital_outputs[0].state: not one of"},
        {replaced("\"asset\": \"A-7\"", "\"asset\": \"" + std::string(33, 'x') + "\""), "asset: longer than 32"},
        {replaced("\"asset\": \"A-7\"", "\"asset\": \"\\u20ac\\u0100\""), "asset: holds a character"},
        {replaced("\"tag\"", "\"tag_no\""), "tag_no: not a field of this format"},
        {replaced("\"read_time\": \"2026-12-08T15:47:13Z\"", "\"read_time\": \"yesterday\""), "read_time: not an ISO"},
        {replaced("\"conversion_factor\": 6.894757", "\"conversion_factor\": 0"), "analog_output.conversion_factor: 0"},
        {replaced("\"damping_time\": 2.5", "\"damping_time\": -1"), "pressure_inputs[0].damping_time: negative"},
    };
    for (const auto& [text, error] : cases) {
        const LoadedConfiguration loaded = ConfigurationFromJson(text);
        EXPECT_FALSE(loaded.configuration) << error;
        EXPECT_TRUE(loaded.error.starts_with(error)) << loaded.error;
    }
}

TEST(ConfigurationFile, SavedFileLoadsBackAndAFolderIsRefused) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "corvel_configuration_file_test";
    std::filesystem::create_directories(folder / "taken");
    EXPECT_EQ(SaveConfigurationFile(folder / "xmtr.json", Sample()), "");
    EXPECT_EQ(LoadConfigurationFile(folder / "xmtr.json").configuration, Sample());
    EXPECT_NE(SaveConfigurationFile(folder / "taken", Sample()), "");
    EXPECT_FALSE(LoadConfigurationFile(folder / "taken").configuration);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace corvel
