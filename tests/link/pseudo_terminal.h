#pragma once
// Test helpers for the serial backend: a pseudo-terminal pair whose far end the
// test drives, and a folder of COMn links named by CORVEL_PORT_DIR.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/bytes.h"

namespace corvel::test {

// The port side is a device path that a SerialPort opens; the test keeps the
// other end (and a handle on the port side, so that closing the port never
// hangs up the line).
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& devicePath() const { return devicePath_; }
    // Reads until `count` bytes came from the port or `limit` passed.
    std::vector<std::uint8_t> readFromPort(std::size_t count, std::chrono::milliseconds limit) const;
    void writeToPort(ByteSpan bytes) const;

private:
    int peer_ = -1;
    int portSide_ = -1;
    std::string devicePath_;
};

// One scripted exchange of a peer: the request length it waits for and the
// bytes it answers with (none: a silent device).
struct PeerStep {
    std::size_t requestLength = 18;
    std::vector<std::uint8_t> reply;
};

// A device at the far end of a pseudo-terminal: answers each step's request
// with the step's reply, on its own thread. join() returns the requests.
class ScriptedPeer {
public:
    ScriptedPeer(const PseudoTerminal& line, std::vector<PeerStep> script);
    ~ScriptedPeer();
    std::vector<std::vector<std::uint8_t>> join();

private:
    std::vector<std::vector<std::uint8_t>> requests_;
    std::thread thread_;
};

// A temporary folder of links COM<n> -> device, named by CORVEL_PORT_DIR for
// as long as the object lives.
class PortDirectory {
public:
    PortDirectory();
    ~PortDirectory();
    PortDirectory(const PortDirectory&) = delete;
    PortDirectory& operator=(const PortDirectory&) = delete;

    void link(int number, const std::string& devicePath) const;

private:
    std::filesystem::path folder_;
};

}  // namespace corvel::test
