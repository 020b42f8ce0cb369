// Writes the starting inputs of fuzz_command_replies: each is a sequence of
// operations and arguments, run against the in-process simulator, with the
// replies the simulator gives written into the input where the fuzz target
// reads them. Each input is then replayed through the fuzz target's ports and
// must make the same requests as it did against the simulator.
//
//   usage: command_replies_corpus FOLDER
//   (from the fuzz build: build-fuzz/fuzz/command_replies/command_replies_corpus
//    fuzz/corpus/command_replies)

#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/device_config.h"
#include "sim/inprocess_port.h"
#include "link/device_addresses.h"
#include "link/owned_link_context.h"
#include "fuzz/command_replies/session_operations.h"

namespace corvel::fuzz {
namespace {

constexpr std::uint8_t kAddress = 40;
constexpr std::uint8_t kScannedAddress = 252;  // where ScanNetworkAddresses can start

RouteBlock To(std::uint8_t module, std::uint8_t address = kAddress) { return {0x01, 0xF0, 0x80, address, 0xF0, module}; }

// Operations with their arguments in the fuzz target's encoding.
struct Plan : InputWriter {
    InputWriter& op(std::string_view name) { return byte(OperationSelector(name)); }
};

struct Seed {
    std::string name;
    sim::DeviceConfig device;  // on COM1
    Plan plan;
};

sim::DeviceConfig Model(std::string_view code, std::uint8_t address = kAddress) {
    sim::DeviceConfig config = *sim::ModelConfig(code);
    config.address = address;
    if (config.hasLogStore) {
        config.logs = {sim::PressureLogDescription("LOG00001.BIN", 6, 100),
                       sim::PressureLogDescription("LOG00002.BIN", 3, 500)};
    }
    return config;
}

// A port that passes everything to another and tells what was written and
// what was read: the requests, and each reply in the fuzz target's encoding.
class RecordingPort final : public SerialPort {
public:
    RecordingPort(std::unique_ptr<SerialPort> port, std::vector<Bytes>& requests, InputWriter& replies)
        : port_(std::move(port)), requests_(requests), replies_(replies) {}
    ~RecordingPort() override { close(); }

    bool open(const std::string& name) override {
        if (!port_->open(name)) throw std::runtime_error("the plan opens " + name + ", where nothing answers");
        return true;
    }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        return port_->configure(queueSize, line, timeouts);
    }
    bool write(ByteSpan bytes, std::size_t& written) override {
        requests_.emplace_back(bytes.begin(), bytes.end());
        wrote_ = true;
        return port_->write(bytes, written);
    }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
        const bool result = port_->read(buffer, received, complete);
        reply_.insert(reply_.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(received));
        return result;
    }
    void pause(std::chrono::milliseconds duration) override { port_->pause(duration); }
    void close() override {
        if (wrote_) replies_.reply(reply_);
        wrote_ = false;
        reply_.clear();
        port_->close();
    }
    PortError lastError() const override { return port_->lastError(); }

private:
    std::unique_ptr<SerialPort> port_;
    std::vector<Bytes>& requests_;
    InputWriter& replies_;
    bool wrote_ = false;
    Bytes reply_;
};

class RecordingPorts final : public SerialPortFactory {
public:
    RecordingPorts(SerialPortFactory& ports, InputWriter& replies) : ports_(ports), replies_(replies) {}
    std::unique_ptr<SerialPort> create() override {
        return std::make_unique<RecordingPort>(ports_.create(), requests, replies_);
    }
    std::vector<Bytes> requests;

private:
    SerialPortFactory& ports_;
    InputWriter& replies_;
};

// Runs the operations of `plan` with ports made by `ports`; fails unless they
// use up the plan exactly.
void Run(SerialPortFactory& ports, InputCursor& operations, std::size_t planSize) {
    OwnedLinkContext link;
    DeviceSession session(link.with(ports));
    RunOperations(session, operations);
    if (operations.consumed() != planSize) throw std::logic_error("the plan does not match the operations");
}

// One starting input: the operations, with the simulator's replies where the exchanges take them.
Bytes Record(const Seed& seed, std::vector<Bytes>& requests) {
    sim::InProcessBus bus;
    bus.attach(1, seed.device);
    sim::InProcessPortFactory simulator(bus);
    InputWriter input;
    RecordingPorts ports(simulator, input);
    InputCursor operations(seed.plan.bytes, &input.bytes);
    Run(ports, operations, seed.plan.bytes.size());
    requests = ports.requests;
    return input.bytes;
}

// The requests the fuzz target makes when it replays `input`.
std::vector<Bytes> Replay(const Bytes& input) {
    InputCursor cursor(input);
    ReplayPorts replay(cursor);
    InputWriter ignored;
    RecordingPorts ports(replay, ignored);
    Run(ports, cursor, input.size());
    return ports.requests;
}

std::vector<Seed> Seeds() {
    std::vector<Seed> seeds;
    // Every seed lets damaged replies through, so that a reply the fuzzer
    // changes still reaches the decoders (checked, and then accepted).
    const auto add = [&](std::string name, sim::DeviceConfig device, const std::function<void(Plan&)>& write) {
        Seed seed{std::move(name), std::move(device), {}};
        seed.plan.op("CommSettings").flag(true).flag(false).byte(0);
        write(seed.plan);
        seeds.push_back(std::move(seed));
    };
    add("identity", Model("4402"), [](Plan& p) {
        p.op("ReadIdentity").route(To(kPressureModule)).byte(kPressureModule);
        p.op("ReadDeviceStrings").route(To(kCommunicationModule)).byte(kCommunicationModule);
        p.op("ReadDeviceStringsXmtr").route(To(kCommunicationModule)).byte(kCommunicationModule).byte(kAddress);
        p.op("ReadFirmwareVersion").route(To(kCommunicationModule));
    });
    add("sensors", Model("4402"), [](Plan& p) {
        p.op("ReadSensorInfoP1").route(To(kPressureModule));
        p.op("ReadSensorInfoP2").route(To(kPressureModule));
        p.op("ReadUnitRecord").route(To(kPressureModule)).flag(true).byte(sim::kUnitPsi);
        p.op("ReadEngineeringUnits").byte(0x0F).route(To(kPressureModule));
        p.op("ReadUnitRecordP1Selected").route(To(kPressureModule)).byte(sim::kUnitPsi);
        p.op("ReadManufacturingLimits").route(To(kPressureModule));
    });
    add("texts", Model("4402"), [](Plan& p) {
        p.op("ReadDescription").route(To(kPressureModule)).byte(kPressureModule);
        p.op("WriteDescription").route(To(kPressureModule)).byte(kPressureModule).text("Kessel Süd, Zulauf");
        p.op("ReadTagAndAsset").route(To(kPressureModule)).byte(kPressureModule);
        p.op("WriteTagAndAsset").route(To(kPressureModule)).byte(kPressureModule).text("PT-7 ±").text("A-0042");
        p.op("ReadTagAndAsset").route(To(kPressureModule)).byte(kPressureModule);
        p.op("ReadManufacturingRecord").route(To(kPressureModule)).byte(kPressureModule);
    });
    add("units", Model("4402"), [](Plan& p) {
        p.op("ReadEngineeringUnits").byte(0x0B).route(To(kPressureModule));
        p.op("WriteEngineeringUnits").byte(0x0B).route(To(kPressureModule));
    });
    add("measurements", Model("4402"), [](Plan& p) {
        p.op("ReadMeasurements").byte(0x0B).route(To(kPressureModule)).flag(true).byte(1).byte(0);
        p.op("ReadMeasurements").byte(0x01).route(To(kPressureModule)).flag(false).byte(0).byte(0);
    });
    add("output", Model("440D"), [](Plan& p) {
        p.op("ReadOutputKind").route(To(kOutputModule));
        p.op("ReadLowerRangeValue").route(To(kOutputModule));
        p.op("ReadUpperRangeValue").route(To(kOutputModule));
        p.op("ReadMeasurementsForOutput").byte(0x09).route(To(kPressureModule)).flag(false).byte(1).byte(1);
        p.op("SendEmptyCommand").route(To(kOutputModule));
    });
    add("zero", Model("4402"), [](Plan& p) {
        p.op("ZeroChannels").byte(0x03).route(To(kPressureModule));
        p.op("RestoreFactoryCalibration").byte(0x01).route(To(kPressureModule));
    });
    add("recalibration", Model("4402"), [](Plan& p) {
        p.op("StartRecalibration").byte(1).route(To(kPressureModule));
        for (const char* applied : {"0.0", "50.0", "100.0"}) {
            p.op("ReadCalibrationPoint").route(To(kPressureModule));
            p.op("SaveCalibrationPoint").route(To(kPressureModule)).text(applied);
        }
        p.op("FinishRecalibration").route(To(kPressureModule));
    });
    add("sensor_range", Model("4402"), [](Plan& p) { p.op("ReadSensorRange").byte(0x0F).route(To(kPressureModule)); });
    add("damping", Model("4402"), [](Plan& p) {
        p.op("ReadDampingEnabledP1").route(To(kPressureModule));
        p.op("ReadDampingTimeP1").route(To(kPressureModule));
        p.op("WriteDampingEnabledP1").route(To(kPressureModule)).byte(1);
        p.op("WriteDampingTimeP1").route(To(kPressureModule)).text("2.5");
        p.op("ReadDampingEnabledP2").route(To(kPressureModule));
        p.op("ReadDampingTimeP2").route(To(kPressureModule));
        p.op("WriteDampingEnabledP2").route(To(kPressureModule)).byte(0);
        p.op("WriteDampingTimeP2").route(To(kPressureModule)).text("0.4");
    });
    add("memory", Model("4402"), [](Plan& p) {
        p.op("ReadMemoryByte").route(To(kPressureModule)).u32(address::kDampingEnabledP1);
        p.op("ReadMemoryWord").route(To(kPressureModule)).u32(address::kDampingEnabledP1);
        p.op("ReadMemoryDword").route(To(kPressureModule)).u32(address::kDampingTimeP1);
        p.op("ReadMemoryBlock").route(To(kCommunicationModule)).u32(address::kIdentificationBlock);
        p.op("WriteMemoryByte").route(To(kPressureModule)).byte(1).u32(address::kDampingEnabledP1);
        p.op("WriteMemoryByteAt").route(To(kPressureModule)).u32(address::kDampingEnabledP2).byte(0);
        p.op("WriteMemoryDword").route(To(kPressureModule)).u32(address::kDampingTimeP1).u32(0x40000000);
    });
    add("network_address", Model("4402"), [](Plan& p) {
        p.op("WriteNetworkAddress").route(To(kCommunicationModule)).byte(41).byte(kCommunicationModule);
        p.op("DiscoveryState").byte(41).byte(kCommunicationModule).byte(41).byte(0);
        p.op("SendEmptyCommandToAddress");
        p.op("SendEmptyCommandFlag40");
        p.op("ReadIdentityAtAddress");
    });
    add("log_directory", Model("Q712"), [](Plan& p) {
        p.op("ReadLogFileCount").route(To(kLogStoreModule));
        p.op("ReadLogDirectory").route(To(kLogStoreModule)).byte(1);
        p.op("ReadLogDirectoryEntries").route(To(kLogStoreModule));
    });
    add("log_blocks", Model("Q712"), [](Plan& p) {
        p.op("ReadLogState").route(To(kLogStateModule)).byte(255);
        p.op("OpenLogFile").route(To(kLogStoreModule)).byte(2);
        for (int block = 0; block < 3; ++block) p.op("ReadLogBlock").route(To(kLogStoreModule)).byte(2);
        p.op("CloseLogFile").route(To(kLogStoreModule)).byte(2);
        p.op("ReadLogState").route(To(kLogStateModule)).byte(0);
    });
    add("log_copy", Model("Q712"), [](Plan& p) {
        p.op("CopyLogFile").route(To(kLogStoreModule)).route(To(kLogStateModule)).byte(2).byte(3).byte(0);
    });
    add("log_erase", Model("Q712"), [](Plan& p) {
        p.op("EraseAllLogFiles").route(To(kLogStoreModule));
        p.op("ReadLogFileCount").route(To(kLogStoreModule));
    });
    add("discovery", Model("4402"), [](Plan& p) {
        p.op("FindDeviceOnPorts").route({0x01, 0xF0, 0x80, 0, 0xF0, 0});
        p.op("ReadDeviceKind").route(To(kPressureModule));
        p.op("ReadStoredConnection").text("COM1").text("40").text("64").text("40");
    });
    add("scan", Model("4400", kScannedAddress), [](Plan& p) {
        p.op("ScanNetworkAddresses").byte(static_cast<std::uint8_t>(kScannedAddress - 251));
        p.op("ReadIdentityAtAddress");
    });
    add("exchanges", Model("4402"), [](Plan& p) {
        const RouteBlock route = To(kPressureModule);
        FrameBuffer frame{};
        const std::size_t length = BuildFrame(frame, FrameRequest{kClassInfo, 0, 0, {}, route, 0});
        const std::string request(frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(length));
        p.op("SerialTransact").text(request).byte(static_cast<std::uint8_t>(length)).byte(12);
        p.op("SerialTransactNextPort").text(request);
        p.op("SerialTransactFindPort").text(request);
        p.op("SetStatusText").byte(0x03);
    });
    add("modbus_exit", Model("4402"), [](Plan& p) {
        p.op("CommSettings").flag(true).flag(true).byte(kAddress);
        p.op("SendModbusExitSequence");
    });
    return seeds;
}

void Write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace
}  // namespace corvel::fuzz

int main(int argc, char** argv) {
    using namespace corvel::fuzz;
    if (argc != 2) {
        std::cerr << "usage: command_replies_corpus FOLDER\n";
        return 2;
    }
    try {
        for (const Seed& seed : Seeds()) {
            std::vector<Bytes> requests;
            const Bytes input = Record(seed, requests);
            if (Replay(input) != requests) throw std::logic_error(seed.name + ": the replay makes other requests");
            Write(std::string(argv[1]) + "/" + seed.name, input);
            std::cout << seed.name << ": " << input.size() << " bytes, " << requests.size() << " exchanges\n";
        }
    } catch (const std::exception& error) {
        std::cerr << "command_replies_corpus: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
