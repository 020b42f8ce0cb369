#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace corvel::sim {
namespace {

constexpr std::size_t kPacedChunk = 16;

std::string ErrnoText(const std::string& what) { return what + ": " + std::generic_category().message(errno); }

void WriteAll(int fd, const std::uint8_t* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t done = ::write(fd, bytes, count);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return;
        bytes += done;
        count -= static_cast<std::size_t>(done);
    }
}

bool MakeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) return false;
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

}  // namespace

std::optional<std::string> PtyServer::start(const std::filesystem::path& portDir, int comNumber) {
    if (running()) return "already serving";
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) return ErrnoText("posix_openpt");
    char name[128] = {};
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
        const std::string error = ErrnoText("pty set-up");
        closeAll();
        return error;
    }
    devicePath_ = name;
    slave_ = ::open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0 || !MakeRaw(slave_) || ::pipe(wakePipe_) != 0) {
        const std::string error = ErrnoText("opening " + devicePath_);
        closeAll();
        return error;
    }
    std::error_code ec;
    linkPath_ = portDir / ("COM" + std::to_string(comNumber));
    std::filesystem::create_directories(portDir, ec);
    std::filesystem::remove(linkPath_, ec);
    std::filesystem::create_symlink(devicePath_, linkPath_, ec);
    if (ec) {
        linkPath_.clear();
        closeAll();
        return "cannot create the link " + (portDir / ("COM" + std::to_string(comNumber))).string() + ": " +
               ec.message();
    }
    stopping_ = false;
    thread_ = std::thread([this] { serve(); });
    return std::nullopt;
}

void PtyServer::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        const std::uint8_t wake = 1;
        WriteAll(wakePipe_[1], &wake, 1);
        thread_.join();
    }
    if (!linkPath_.empty()) {
        std::error_code ec;
        std::filesystem::remove(linkPath_, ec);
        linkPath_.clear();
    }
    closeAll();
}

void PtyServer::closeAll() {
    for (int* fd : {&master_, &slave_, &wakePipe_[0], &wakePipe_[1]}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void PtyServer::serve() {
    std::uint8_t buffer[512];
    while (!stopping_) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        // Wait for bytes without end; with a frame half heard, only for the frame time-out.
        const int timeout = [this] {
            const auto held = lock();
            return line_.holdsPartialFrame() ? static_cast<int>(line_.timing.frameTimeout.count()) : -1;
        }();
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0 || stopping_) break;
        if (ready == 0) {
            answerQuietLine();
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got > 0) answer(ByteSpan(buffer, static_cast<std::size_t>(got)));
        }
    }
}

// The request's bytes reach the transmitter only after their wire time.
void PtyServer::answer(ByteSpan bytes) {
    std::vector<Transmission> replies;
    std::this_thread::sleep_for(wireDuration(bytes.size()));
    {
        const auto held = lock();
        replies = line_.hear(bytes, clock_.seconds());
    }
    send(replies);
}

std::chrono::microseconds PtyServer::wireDuration(std::size_t bytes) {
    const auto held = lock();
    return line_.timing.durationOf(bytes);
}

void PtyServer::answerQuietLine() {
    std::vector<Transmission> replies;
    {
        const auto held = lock();
        replies = line_.quiet();
    }
    send(replies);
}

// Drops what the client left unread of earlier replies, waits the turnaround
// (and any delay), then writes each reply, paced by the wire time when on.
void PtyServer::send(const std::vector<Transmission>& replies) {
    if (replies.empty()) return;
    ::tcflush(slave_, TCIFLUSH);
    for (const Transmission& reply : replies) {
        std::this_thread::sleep_for(reply.startsAfter);
        for (std::size_t at = 0; at < reply.bytes.size(); at += kPacedChunk) {
            const std::size_t count = std::min(kPacedChunk, reply.bytes.size() - at);
            std::this_thread::sleep_for(wireDuration(count));
            WriteAll(master_, reply.bytes.data() + at, count);
        }
    }
}

std::optional<std::string> StartPtyServer(PtyServer& server, const LineSpec& lineSpec,
                                          const std::filesystem::path& portDir, int comNumber) {
    Populate(server.line(), lineSpec);
    return server.start(portDir, comNumber);
}

}  // namespace corvel::sim
