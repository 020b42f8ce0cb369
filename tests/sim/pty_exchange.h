#pragma once
// Test helper: one exchange over a real pseudo-terminal, opened by its link
// name as the utility's serial backend would, with bounded waits.

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "link/frame.h"

namespace corvel::sim::test {

// Polls for `path` to exist, for at most `limit`.
inline bool WaitForPath(const std::filesystem::path& path, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// Writes the frame and reads until the announced reply is complete, for at most 2 s.
inline std::vector<std::uint8_t> PtyTransact(const std::filesystem::path& link, const FrameRequest& request) {
    const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return {};
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);
    FrameBuffer frame;
    const std::size_t length = BuildFrame(frame, request);
    std::vector<std::uint8_t> reply;
    if (::write(fd, frame.data(), length) == static_cast<ssize_t>(length)) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!(reply.size() > 2 && reply.size() >= kHeaderSize + reply[2] + kRouteSize) &&
               std::chrono::steady_clock::now() < deadline) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            std::uint8_t chunk[256];
            const ssize_t got = ::read(fd, chunk, sizeof chunk);
            if (got > 0) reply.insert(reply.end(), chunk, chunk + got);
        }
    }
    ::close(fd);
    return reply;
}

}  // namespace corvel::sim::test
