// Finding a transmitter: by trying every serial port (USB, RS-232) or every
// network address on one port (RS-485), and the reads that identify it.

#include <string>

#include "link/command_exchange.h"
#include "link/device_addresses.h"
#include "link/device_session.h"
#include "common/number_format.h"

namespace corvel {

namespace {

constexpr std::uint8_t kRecordIdentity = 0x00;
constexpr std::uint8_t kLastNetworkAddress = 254;
constexpr int kLastPortNumber = 100;

FrameRequest IdentityRequest(const RouteBlock& route) { return FrameRequest{kClassInfo, 0, kRecordIdentity, {}, route, 0}; }

// The decimal texts of the found values, kept as they were for values outside
// their ranges.
void SetFoundNetworkAddress(DeviceSession& session, std::uint8_t networkAddress) {
    session.discovery.foundNetworkAddress = networkAddress;
    if (networkAddress >= 1 && networkAddress <= kLastNetworkAddress)
        session.discovery.foundNetworkAddressText = std::to_string(networkAddress);
}

void SetFoundModuleNumber(DeviceSession& session, std::uint8_t module) {
    session.discovery.foundModuleNumber = module;
    session.discovery.foundModuleNumberCopy = module;
    if (module >= 16 && module <= 112) session.discovery.foundModuleNumberText = std::to_string(module);
}

// The port scan has passed the last port: start over at COM1 next time.
void EndPortScan(DeviceSession& session) {
    session.discovery.scanFinished = 1;
    session.discovery.portCounter = 1;
    session.SelectPortByNumber(1);
}

}  // namespace

bool DeviceSession::ReadIdentityAtAddress() {
    const RouteBlock route{0x80, 0x80, 0x80, discovery.foundNetworkAddress, 0xF0, discovery.foundModuleNumber};
    FrameBuffer reply;
    // A reply starting with 0xFF or 0xCC ("no device here") fails the exchange.
    if (!command::Exchange(*this, IdentityRequest(route), 18, reply)) return false;
    versionText = TextAt(reply, 42, kFrameBufferSize);
    versionNumber = ParseDecimal(versionText);
    return true;
}

std::uint8_t DeviceSession::ReadDeviceKind(const RouteBlock& route) {
    FrameBuffer reply;
    const FrameRequest request{kClassMeasurements, kChannelP2, 0, {}, route, 0};
    // Without a reply nothing tells of a second pressure input: report a
    // non-zero kind rather than the zero of an empty buffer.
    if (!command::Exchange(*this, request, 50, reply)) return 0xFF;
    return reply[offset::kPayload];
}

// The start address is always probed, 0 and 255 included; the scan then goes
// on up to the last address asked for.
std::uint8_t DeviceSession::ScanNetworkAddresses(std::uint8_t startAddress, std::uint8_t lastAddress) {
    for (int candidate = startAddress; candidate == startAddress || candidate <= lastAddress; ++candidate) {
        const auto networkAddress = static_cast<std::uint8_t>(candidate);
        FrameBuffer request{};
        FrameBuffer reply{};
        BuildFrame(request, IdentityRequest(RouteBlock{0x80, 0x80, 0x80, networkAddress, 0xF0, kCommunicationModule}));
        const bool answered = SerialTransactNextPort(request, reply);
        lastExchangeSucceeded = answered;
        discovery.nextStartAddress = static_cast<std::uint8_t>(candidate + 1);
        discovery.scanFinished = 0;
        if (!answered) continue;
        SetFoundNetworkAddress(*this, networkAddress);
        context_.store.write(key::kCommBoardAddress, std::to_string(networkAddress));
        SetFoundModuleNumber(*this, kCommunicationModule);
        context_.store.write(key::kCommModule, std::to_string(kCommunicationModule));
        return networkAddress;
    }
    return 0;
}

bool DeviceSession::FindDeviceOnPorts(const RouteBlock& route) {
    discovery.retryFlag = 0;
    for (;;) {
        FrameBuffer request{};
        FrameBuffer reply{};
        BuildFrame(request, IdentityRequest(RouteBlock{0, route[1], route[2], 0, route[4], 0}));
        const bool found = SerialTransactFindPort(request, reply);
        lastExchangeSucceeded = found;
        if (!found) return false;
        const RouteBlock replyRoute = FrameRoute(reply);
        SetFoundNetworkAddress(*this, replyRoute[0]);
        SetFoundModuleNumber(*this, replyRoute[2]);
        if (discovery.foundNetworkAddress == kCommunicationModule || discovery.foundModuleNumber == kCommunicationModule)
            break;
        // Some other device answered: try the next port, once more if it is silent.
        discovery.retryFlag = 1;
        if (discovery.portCounter >= kLastPortNumber) {
            EndPortScan(*this);
            return false;
        }
        ++discovery.portCounter;
        SelectPortByNumber(discovery.portCounter);
    }
    const bool identified = ReadIdentityAtAddress();
    if (identified) {
        context_.store.write(key::kCommBoardAddress, std::to_string(discovery.foundNetworkAddress));
        context_.store.write(key::kCommModule, std::to_string(discovery.foundModuleNumber));
    }
    return identified;
}

}  // namespace corvel
