#include "tests/link/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

#include "link/port_map.h"

namespace corvel::test {
namespace {

void MakeRawLine(int fd) {
    termios state{};
    if (::tcgetattr(fd, &state) != 0) throw std::runtime_error("tcgetattr failed");
    ::cfmakeraw(&state);
    ::tcsetattr(fd, TCSANOW, &state);
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    char name[128] = {};
    if (::openpty(&peer_, &portSide_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    MakeRawLine(portSide_);
    devicePath_ = name;
}

PseudoTerminal::~PseudoTerminal() {
    ::close(peer_);
    ::close(portSide_);
}

std::vector<std::uint8_t> PseudoTerminal::readFromPort(std::size_t count, std::chrono::milliseconds limit) const {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::vector<std::uint8_t> bytes(count);
    std::size_t received = 0;
    while (received < count) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd watched{peer_, POLLIN, 0};
        if (::poll(&watched, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t got = ::read(peer_, bytes.data() + received, count - received);
        if (got > 0) received += static_cast<std::size_t>(got);
        else if (got < 0 && errno != EINTR && errno != EAGAIN) break;
    }
    bytes.resize(received);
    return bytes;
}

void PseudoTerminal::writeToPort(ByteSpan bytes) const {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(peer_, bytes.data() + written, bytes.size() - written);
        if (count > 0) written += static_cast<std::size_t>(count);
        else if (errno != EINTR && errno != EAGAIN) throw std::runtime_error("write to pseudo-terminal failed");
    }
}

ScriptedPeer::ScriptedPeer(const PseudoTerminal& line, std::vector<PeerStep> script)
    : thread_([this, &line, script = std::move(script)] {
          for (const PeerStep& step : script) {
              requests_.push_back(line.readFromPort(step.requestLength, std::chrono::seconds(5)));
              if (requests_.back().size() < step.requestLength) return;  // nobody asked: stop
              line.writeToPort(step.reply);
          }
      }) {}

ScriptedPeer::~ScriptedPeer() {
    if (thread_.joinable()) thread_.join();
}

std::vector<std::vector<std::uint8_t>> ScriptedPeer::join() {
    thread_.join();
    return requests_;
}

PortDirectory::PortDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "corvel-ports-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    folder_ = pattern;
    ::setenv(std::string(kPortDirVariable).c_str(), folder_.c_str(), 1);
    ::setenv(std::string(kPortDirOnlyVariable).c_str(), "1", 1);
}

PortDirectory::~PortDirectory() {
    ::unsetenv(std::string(kPortDirVariable).c_str());
    ::unsetenv(std::string(kPortDirOnlyVariable).c_str());
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void PortDirectory::link(int number, const std::string& devicePath) const {
    std::filesystem::create_symlink(devicePath, folder_ / ("COM" + std::to_string(number)));
}

}  // namespace corvel::test
