// corvelctl against the simulated transmitter in the same process.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "cli/corvelctl.h"
#include "sim/inprocess_port.h"
#include "tests/datalog/simulated_log.h"

namespace corvel::cli {
namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class CorvelctlOnSimulator : public ::testing::Test {
protected:
    sim::InProcessBus bus;
    sim::InProcessPortFactory ports{bus};
    std::vector<double> waits;
    std::function<bool(const std::string&)> confirm;  // a terminal to ask on, when set
    bool terminal = false;                             // progress lines may be drawn
    // COM9 reaches /dev/ttyUSB3, other numbers no device.
    std::function<std::optional<std::string>(const std::string&)> deviceOf = [](const std::string& name) {
        return std::optional<std::string>(name == "COM9" ? "/dev/ttyUSB3" : "");
    };

    sim::SimDevice& attach(int port, sim::DeviceConfig config = {}) { return bus.attach(port, std::move(config)); }

    ToolRun run(std::vector<std::string> args) {
        std::ostringstream out;
        std::ostringstream err;
        const CliEnvironment environment{ports, out, err, terminal,
                                         [this](std::chrono::duration<double> d) { waits.push_back(d.count()); },
                                         {}, confirm, deviceOf};
        const int status = RunCorvelctl(std::move(args), environment);
        return {status, out.str(), err.str()};
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) lines.push_back(line);
        return lines;
    }
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A scratch folder removed at the end of the test.
struct ScratchFolder {
    fs::path path = fs::temp_directory_path() / ("corvelctl-test-" + std::to_string(::getpid()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    ScratchFolder() { fs::create_directories(path); }
    ~ScratchFolder() { fs::remove_all(path); }
};

TEST_F(CorvelctlOnSimulator, IdentifyReportsModelSensorsAndVersion) {
    sim::DeviceConfig config;
    config.p1.label = sim::SensorLabel::DN;
    config.p1.upperLimit = 300.0f;
    attach(3, config);
    const ToolRun r = run({"--port", "COM3", "identify"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "serial_number: SIM0000001\n"));
    EXPECT_TRUE(Has(r.out, "model_code: 4402\n"));
    EXPECT_TRUE(Has(r.out, "model_name: T4402 Dual Pressure\n"));
    EXPECT_TRUE(Has(r.out, "version: 01.00\n"));
    EXPECT_TRUE(Has(r.out, "p1_label: DN\n"));
    EXPECT_TRUE(Has(r.out, "p1_upper_limit: 300\n"));
    EXPECT_TRUE(Has(r.out, "p2_label: GI\n"));
    EXPECT_TRUE(Has(r.out, "p1_unit: PSI\n")) << r.out;
}

TEST_F(CorvelctlOnSimulator, IdentifyAsJsonOnOneLine) {
    sim::DeviceConfig config;
    config.hasP2 = false;
    config.serialNumber = "SN\"7\\";
    attach(1, config);
    const ToolRun r = run({"identify", "--json"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(Has(lines[0], "\"serial_number\":\"SN\\\"7\\\\\"")) << lines[0];
    EXPECT_TRUE(Has(lines[0], "\"p2_present\":false"));
    EXPECT_FALSE(Has(lines[0], "p2_label"));
    EXPECT_TRUE(Has(lines[0], "\"p1_lower_limit\":0,\"p1_upper_limit\":100,")) << "limits are JSON numbers";
}

TEST_F(CorvelctlOnSimulator, ReadRepeatsAtTheInterval) {
    attach(1);
    const ToolRun r = run({"--json", "read", "--count", "3", "--interval", "0.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(waits, (std::vector<double>{0.5, 0.5}));
    EXPECT_TRUE(std::regex_search(lines[2], std::regex(R"(^\{"reading":3,"time":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z",)")))
        << lines[2];
    EXPECT_TRUE(Has(lines[0], "\"p1_status\":0,\"p1_status_text\":\"OK\"")) << lines[0];
    EXPECT_TRUE(Has(lines[0], "\"p2_value\":"));
    EXPECT_TRUE(Has(lines[0], "\"temperature\":\"22.")) << lines[0];
}

TEST_F(CorvelctlOnSimulator, ReadShowsTheStatusTableOfEachInput) {
    sim::SimDevice& device = attach(1);
    device.live(sim::Channel::P1).status = 16;
    const ToolRun pressure = run({"read"});
    ASSERT_EQ(pressure.status, 0) << pressure.err;
    EXPECT_TRUE(Has(pressure.out, "p1: ------\n")) << pressure.out;
    EXPECT_TRUE(Has(pressure.out, "p1_status_text: Pres over range\n"));
    EXPECT_FALSE(Has(pressure.out, "temperature: ------\n"));

    device.live(sim::Channel::P1).status = 19;
    const ToolRun temperature = run({"read"});
    EXPECT_FALSE(Has(temperature.out, "p1: ------\n")) << temperature.out;
    EXPECT_TRUE(Has(temperature.out, "p1_status_text: Temp over range\n"));
    EXPECT_TRUE(Has(temperature.out, "temperature: ------\n"));
}

TEST_F(CorvelctlOnSimulator, InfoAndIdentificationTextWrites) {
    attach(1);
    ASSERT_EQ(run({"set-tag", "FT-204"}).status, 0);
    ASSERT_EQ(run({"set-description", "North tank, level"}).status, 0);
    const ToolRun r = run({"info"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "tag: FT-204\n"));
    EXPECT_TRUE(Has(r.out, "asset: ASSET-0001\n")) << "the asset number stays";
    EXPECT_TRUE(Has(r.out, "description: North tank, level\n"));
    EXPECT_TRUE(Has(r.out, "model_name: T4402 Dual Pressure\n"));
}

TEST_F(CorvelctlOnSimulator, TextsTravelAsWindows1252) {
    sim::SimDevice& device = attach(1);
    // "Ünïcode €" is stored as the transmitter's single bytes, and read back as it was typed
    ASSERT_EQ(run({"set-tag", "\xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC"}).status, 0);
    EXPECT_EQ(std::string(device.tag().begin(), device.tag().begin() + 9), "\xDCn\xEF" "code \x80");
    EXPECT_TRUE(Has(run({"info"}).out, "tag: \xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC\n"));
    EXPECT_TRUE(Has(run({"--json", "info"}).out, "\"tag\":\"\xC3\x9Cn\xC3\xAF" "code \xE2\x82\xAC\""));
    // A character Windows-1252 cannot hold is refused and nothing is sent
    const ToolRun refused = run({"set-asset", "\xE2\x9C\x93"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(Has(refused.err, "Windows-1252"));
    EXPECT_TRUE(Has(run({"info"}).out, "asset: ASSET-0001\n"));
    // The room is counted in the transmitter's bytes: 32 two-byte UTF-8 letters fit
    EXPECT_EQ(run({"set-asset", [] { std::string t; for (int i = 0; i < 32; ++i) t += "\xC3\xA9"; return t; }()}).status, 0);
}

TEST_F(CorvelctlOnSimulator, TooLongTagIsAUsageErrorAndNothingIsSent) {
    attach(1);
    const ToolRun r = run({"set-asset", std::string(33, 'A')});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(Has(r.err, "33 characters"));
    EXPECT_TRUE(Has(run({"info"}).out, "asset: ASSET-0001\n"));
}

TEST_F(CorvelctlOnSimulator, UsageErrorsExitWithTwoAndNameTheArgument) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"--bogus", "identify"}, "unknown option \"--bogus\""},
        {{"identify", "--bogus"}, "unknown option \"--bogus\""},
        {{"--port", "COM0", "identify"}, "--port COM0: the serial ports are COM1 to COM100"},
        {{"--port", "com101", "identify"}, "--port com101: the serial ports are COM1 to COM100"},
        {{"--baud", "12345", "identify"}, "--baud 12345: no serial line runs at that speed; use one of 300, "},
        {{"identify", "--port"}, "option --port needs a value"},
        {{"--address", "255", "identify"}, "--address must be a whole number from 1 to 254, not \"255\""},
        {{"read", "--count", "0"}, "--count"},
        {{"read", "--interval", "soon"}, "--interval must be a number of seconds, not \"soon\""},
        {{"identify", "extra"}, "unexpected argument \"extra\""},
        {{"logs"}, "missing logs action"},
        {{"scan", "--from", "5"}, "--from and --to belong to an RS-485 scan"},
        {{"scan", "--rs485", "--from", "9", "--to", "8"}, "--from must not be above --to"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun r = run(args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_TRUE(r.err.starts_with("corvelctl: " + message)) << r.err;
    }
}

TEST_F(CorvelctlOnSimulator, HelpForTheToolAndEachCommand) {
    const ToolRun tool = run({"--help"});
    EXPECT_EQ(tool.status, 0);
    EXPECT_TRUE(Has(tool.out, "usage: corvelctl"));
    EXPECT_TRUE(Has(tool.out, "logs list"));
    const ToolRun read = run({"read", "--help"});
    EXPECT_EQ(read.status, 0);
    EXPECT_TRUE(Has(read.out, "read [--count N] [--interval SECONDS]"));
    const ToolRun erase = run({"logs", "erase", "--help"});
    EXPECT_EQ(erase.status, 0);
    EXPECT_TRUE(Has(erase.out, "  --yes ")) << erase.out;
}

TEST_F(CorvelctlOnSimulator, ShortOptionsActAsTheLongOnes) {
    sim::DeviceConfig config;
    config.address = 12;
    attach(3, config);
    const ToolRun longForm = run({"--port", "COM3", "--address", "12", "--baud", "115200", "--json", "identify"});
    const ToolRun shortForm = run({"identify", "-p", "COM3", "-a", "12", "-b", "115200", "-j"});
    EXPECT_EQ(shortForm.status, 0) << shortForm.err;
    EXPECT_TRUE(Has(shortForm.out, "{\"serial_number\":")) << shortForm.out;
    EXPECT_EQ(shortForm.out, longForm.out);
}

TEST_F(CorvelctlOnSimulator, TraceShowsEveryExchangeOnTheErrorStream) {
    attach(1);
    const ToolRun plain = run({"identify"});
    const ToolRun traced = run({"--trace", "identify"});
    EXPECT_EQ(traced.status, 0);
    EXPECT_EQ(traced.out, plain.out) << "the trace leaves the results alone";
    EXPECT_FALSE(Has(plain.err, "trace"));
    const std::regex traceLine(R"(trace \d+\.\d{3} [<>]( [0-9A-F]{2})+( \| \S.*)?)");
    int requests = 0;
    int replies = 0;
    for (const std::string& line : Lines(traced.err)) {
        EXPECT_TRUE(std::regex_match(line, traceLine)) << line;
        if (Has(line, " > ")) {
            ++requests;
            EXPECT_TRUE(Has(line, " > 80 01 ")) << "a request frame: " << line;
        }
        if (Has(line, " < ")) ++replies;
    }
    EXPECT_GT(requests, 1);
    EXPECT_GE(replies, requests);
    EXPECT_TRUE(Has(traced.err, " | ReadIdentity, to ")) << "requests are decoded";
    EXPECT_TRUE(Has(traced.err, " | Good\n")) << "replies are decoded";
}

TEST_F(CorvelctlOnSimulator, DeviceErrorsSayWhatFailedThenTheLinkText) {
    // A port that does not open is named with its device.
    const ToolRun absent = run({"--port", "COM9", "identify"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.err,
              "corvelctl: cannot open COM9 (/dev/ttyUSB3): SerialTransact failed with error 2: No such file or "
              "directory\n");
    EXPECT_TRUE(Has(run({"--port", "COM7", "identify"}).err, "cannot open COM7 (no serial device has this number): "));
    // A silent transmitter: the link text, then who did not answer.
    sim::SimDevice& silent = attach(5);
    silent.faults.silent = true;
    const ToolRun quiet = run({"--port", "COM5", "--address", "12", "identify"});
    EXPECT_EQ(quiet.status, 1);
    EXPECT_EQ(quiet.err, "corvelctl: reading the model failed: no reply from the transmitter at address 12 on COM5 "
                         "(timed out)\n");
    // A rejection keeps the transmitter's status text.
    sim::SimDevice& device = attach(1);
    device.faults.statusFor.push_back({{0x51, 0xC5}, 0x13});
    const ToolRun erase = run({"logs", "erase", "--yes"});
    EXPECT_EQ(erase.status, 1);
    EXPECT_EQ(erase.err, "corvelctl: erasing the log files failed: Command 1 not supported in current mode\n");
}

TEST_F(CorvelctlOnSimulator, OnlyDamagedRepliesGetAHintNamingTheSwitch) {
    attach(6).faults.corruptReplyCrc = true;
    const ToolRun damaged = run({"--port", "COM6", "identify"});
    EXPECT_EQ(damaged.status, 1);
    const std::vector<std::string> lines = Lines(damaged.err);
    ASSERT_EQ(lines.size(), 2u) << damaged.err;
    EXPECT_TRUE(lines[0].ends_with(": Reply damaged: CRC mismatch")) << lines[0];
    EXPECT_EQ(lines[1],
              "corvelctl: A transmitter answered on COM6 (115200 baud), but all 3 of its replies failed the reply "
              "check (CRC mismatch). Check the cable and the line's termination; if this transmitter's firmware "
              "seals its replies differently, run the command again with --accept-damaged-replies.");
    EXPECT_EQ(run({"--port", "COM6", "--accept-damaged-replies", "identify"}).status, 0);
}

sim::DeviceConfig LogModel(std::uint32_t samples) {
    sim::DeviceConfig config = *sim::ModelConfig("Q712");
    config.logs = {sim::PressureLogDescription("LOG00001.BIN", 5, 100),
                   sim::PressureLogDescription("LOG00002.BIN", samples, 100)};
    return config;
}

TEST_F(CorvelctlOnSimulator, LogsListAndDownloadTheWholeFile) {
    const sim::DeviceConfig config = LogModel(700);
    attach(1, config);
    const ToolRun list = run({"--json", "logs", "list"});
    ASSERT_EQ(list.status, 0) << list.err;
    const auto lines = Lines(list.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(Has(lines[1], "\"number\":2,\"file_name\":\"LOG00002.BIN\"")) << lines[1];
    EXPECT_TRUE(Has(lines[1], "\"start_time\":\"2026-12-07T08:00:00\""));

    ScratchFolder folder;
    const fs::path file = folder.path / "log2.bin";
    const ToolRun download = run({"logs", "download", "2", file.string()});
    ASSERT_EQ(download.status, 0) << download.err;
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> got((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::vector<std::uint8_t> expected = testing::InWholeBlocks(testing::SimulatedPressureLog(700, 100).bytes());
    EXPECT_TRUE(testing::SameBytes(got, expected));
    EXPECT_FALSE(fs::exists(file.string() + ".part"));
}

TEST_F(CorvelctlOnSimulator, InterruptedDownloadLeavesNoFile) {
    sim::SimDevice& device = attach(1, LogModel(700));
    device.faults.dropLineAfterLogBlocks = 5;
    ScratchFolder folder;
    const fs::path file = folder.path / "log2.bin";
    const ToolRun r = run({"logs", "download", "2", file.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "SerialTransact failed")) << r.err;
    EXPECT_TRUE(Has(r.err, "(3 attempts)")) << r.err;
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(fs::exists(file.string() + ".part"));
}

TEST_F(CorvelctlOnSimulator, DownloadNamesAMissingFileAndRefusesATargetThatIsNoRegularFile) {
    attach(1, LogModel(20));
    ScratchFolder folder;
    const ToolRun missing = run({"logs", "download", "3", (folder.path / "x.bin").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(Has(missing.err, "there is no log file 3: the transmitter keeps log files 1 to 2")) << missing.err;
    EXPECT_EQ(run({"logs", "download", "0", (folder.path / "x.bin").string()}).status, 2);

    // A folder, and a symbolic link where the system has them (not under Wine)
    const fs::path link = folder.path / "link.bin";
    std::error_code noLinks;
    fs::create_symlink(folder.path / "elsewhere.bin", link, noLinks);
    std::vector<fs::path> targets{folder.path};
    if (!noLinks) targets.push_back(link);
    for (const fs::path& target : targets) {
        const ToolRun refused = run({"logs", "download", "1", target.string()});
        EXPECT_EQ(refused.status, 1);
        EXPECT_TRUE(Has(refused.err, "is not a regular file")) << refused.err;
    }
    EXPECT_EQ(fs::is_symlink(link), !noLinks);
    EXPECT_FALSE(fs::exists(folder.path / "elsewhere.bin"));
}

TEST_F(CorvelctlOnSimulator, LogCommandsOfAModelWithoutLogsSaySoInWords) {
    attach(1);
    const std::vector<std::string> commands[] = {{"logs", "list"}, {"logs", "download", "1", "x.bin"}, {"logs", "erase", "--yes"}};
    for (const std::vector<std::string>& command : commands) {
        const ToolRun r = run(command);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "corvelctl: the T4402 Dual Pressure at address 40 on COM1 keeps no logs (this model has no log store)\n");
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CorvelctlOnSimulator, EraseAsksOnATerminalAndNeedsYesWithout) {
    sim::SimDevice& device = attach(1, LogModel(20));
    EXPECT_EQ(run({"logs", "erase"}).status, 2) << "no terminal and no --yes";
    std::vector<std::string> asked;
    confirm = [&](const std::string& question) {
        asked.push_back(question);
        return false;
    };
    EXPECT_EQ(run({"logs", "erase"}).status, 1);
    EXPECT_EQ(device.logStore()->count(), 2u) << "answered no";
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_TRUE(Has(asked[0], "Erase all log files")) << asked[0];
    confirm = [](const std::string&) { return true; };
    EXPECT_EQ(run({"logs", "erase"}).status, 0);
    EXPECT_EQ(device.logStore()->count(), 0u);
}

TEST_F(CorvelctlOnSimulator, RejectedBlockReleasesLoggingAndLeavesNoFile) {
    sim::SimDevice& device = attach(1, LogModel(50));
    device.faults.statusFor.push_back({{0x52, 0x00}, 0x15});
    ScratchFolder folder;
    const fs::path file = folder.path / "log2.bin";
    const ToolRun r = run({"logs", "download", "2", file.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(Has(r.err, "error 21")) << "the status in words only: " << r.err;
    EXPECT_TRUE(Has(r.err, "Command 3 not supported in current mode")) << r.err;
    EXPECT_EQ(device.logStore()->state, 0) << "logging is released after a failed copy";
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(CorvelctlOnSimulator, LogsOfACollectingTransmitter) {
    sim::DeviceConfig config = LogModel(10);
    config.collectingData = true;
    attach(1, config);
    const ToolRun r = run({"logs", "list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "Wait until data collection in progress is complete")) << r.err;
}

TEST_F(CorvelctlOnSimulator, ScanFindsATransmitterOnEachPort) {
    attach(3);
    sim::DeviceConfig second;
    second.version = "01.02";
    attach(7, second);
    const ToolRun r = run({"--json", "scan"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 2u) << r.out;
    EXPECT_TRUE(Has(lines[0], "\"port\":\"COM3\",\"network_address\":40"));
    EXPECT_TRUE(Has(lines[1], "\"port\":\"COM7\""));
    EXPECT_TRUE(Has(lines[1], "\"version\":\"01.02\""));
}

TEST_F(CorvelctlOnSimulator, Rs485ScanOfAnAddressRangeListsIdentities) {
    for (const std::uint8_t address : {3, 9, 20}) {
        sim::DeviceConfig config = *sim::ModelConfig(address == 9 ? "440D" : "4402");
        config.address = address;
        config.serialNumber = "SN-" + std::to_string(address);
        config.tag = "PT \"" + std::to_string(address) + "\"";
        attach(2, config);
    }
    const ToolRun r = run({"--port", "COM2", "--json", "scan", "--rs485", "--from", "5", "--to", "19"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "{\"port\":\"COM2\",\"network_address\":9,\"module\":40,\"model\":\"440D\","
                     "\"serial_number\":\"SN-9\",\"tag\":\"PT \\\"9\\\"\",\"version\":\"01.00\"}\n");
}

TEST_F(CorvelctlOnSimulator, Rs485ScanShowsItsProgressOnATerminalOnly) {
    sim::DeviceConfig config;
    config.address = 250;
    attach(2, config);
    const ToolRun plain = run({"--port", "COM2", "scan", "--rs485", "--from", "248"});
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(plain.err, "");
    terminal = true;
    const ToolRun shown = run({"--port", "COM2", "scan", "--rs485", "--from", "248"});
    EXPECT_EQ(shown.status, 0);
    EXPECT_EQ(shown.out, plain.out);
    EXPECT_TRUE(Has(shown.err, "\rScanning COM2: address 248, 0 found")) << shown.err;
    EXPECT_TRUE(Has(shown.err, "\rScanning COM2: address 251, 1 found")) << shown.err;
    EXPECT_TRUE(Has(shown.err, "\rScanning COM2: address 254, 1 found")) << shown.err;
    EXPECT_TRUE(shown.err.ends_with("\n"));
}

TEST_F(CorvelctlOnSimulator, ScanWithNothingOnTheLine) {
    const ToolRun r = run({"scan"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "No device found"));
}

TEST_F(CorvelctlOnSimulator, ReportWritesTheMarkdownSectionsWithTheReadingsAsked) {
    attach(3, *sim::ModelConfig("440D"));
    ScratchFolder folder;
    const fs::path file = folder.path / "report.md";
    const ToolRun r = run({"--port", "COM3", "report", file.string(), "--readings", "3", "--technician", "A. Weber"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(file);
    const std::string markdown((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t at = 0;
    for (const char* part : {"- **Technician:** A. Weber", "- **URV:** ", "| 3 | ", "| Mean | "}) {
        at = markdown.find(part, at);
        ASSERT_NE(at, std::string::npos) << part << "\n" << markdown;
    }
    EXPECT_FALSE(Has(markdown, "| 4 | "));
    const ToolRun refused = run({"--port", "COM3", "report", "-", "--readings", "0"});
    EXPECT_EQ(refused.status, 2) << refused.err;
}

}  // namespace
}  // namespace corvel::cli
