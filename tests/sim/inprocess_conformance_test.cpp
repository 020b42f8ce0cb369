// The in-process port passes the conformance suite of every serial port, with
// an empty simulated line as the device at the far end.
#include "sim/inprocess_port.h"
#include "tests/link/serial_port_conformance.h"

namespace corvel::sim::test {
namespace {

class InProcessHarness {
public:
    InProcessHarness() {
        bus_.line(7).onHeard = [this](ByteSpan bytes) { heard_.insert(heard_.end(), bytes.begin(), bytes.end()); };
    }
    std::unique_ptr<SerialPort> makePort() { return bus_.createPort(); }
    std::string portName() const { return "COM7"; }
    std::string missingPortName() const { return "COM8"; }
    void peerWrite(ByteSpan bytes) { bus_.line(7).emit(bytes); }
    std::vector<std::uint8_t> peerRead(std::size_t count) {
        std::vector<std::uint8_t> got(heard_.begin(), heard_.begin() + static_cast<std::ptrdiff_t>(std::min(count, heard_.size())));
        heard_.erase(heard_.begin(), heard_.begin() + static_cast<std::ptrdiff_t>(got.size()));
        return got;
    }

private:
    InProcessBus bus_;
    std::vector<std::uint8_t> heard_;
};

}  // namespace
}  // namespace corvel::sim::test

namespace corvel::test {
using InProcessPorts = ::testing::Types<corvel::sim::test::InProcessHarness>;
INSTANTIATE_TYPED_TEST_SUITE_P(InProcess, SerialPortConformance, InProcessPorts);
}  // namespace corvel::test
