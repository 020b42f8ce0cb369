#pragma once
// Serves a simulated line on a pseudo-terminal, so that the utility (or any
// program) talks to it as to a serial port: the server opens a pty in raw
// mode, puts a link COMn to its device in the port-map folder, and answers
// requests on a thread of its own until stopped; stopping removes the link.
//
// The server keeps a slave descriptor open itself, so that the pty stays
// valid while the client opens and closes its end for every exchange, and it
// discards input the client left unread before each reply.

#include <atomic>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/line.h"
#include "sim/script.h"
#include "sim/sim_clock.h"

namespace corvel::sim {

class PtyServer {
public:
    PtyServer() = default;
    ~PtyServer() { stop(); }
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    // Opens the pty, links `portDir`/COM`comNumber` to it and starts serving.
    // On failure returns the reason and leaves nothing behind.
    std::optional<std::string> start(const std::filesystem::path& portDir, int comNumber);
    // Stops serving, closes the pty and removes the link. Idempotent.
    void stop();

    bool running() const { return thread_.joinable(); }
    const std::string& devicePath() const { return devicePath_; }
    const std::filesystem::path& linkPath() const { return linkPath_; }

    // The line served. Change it (add transmitters, switch faults) while
    // holding lock() once the server runs.
    SimLine& line() { return line_; }
    std::unique_lock<std::mutex> lock() { return std::unique_lock(mutex_); }

private:
    void serve();
    void answer(ByteSpan bytes);
    void answerQuietLine();
    void send(const std::vector<Transmission>& replies);
    std::chrono::microseconds wireDuration(std::size_t bytes);
    void closeAll();

    SimLine line_;
    SteadyClock clock_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int master_ = -1;
    int slave_ = -1;
    int wakePipe_[2] = {-1, -1};
    std::string devicePath_;
    std::filesystem::path linkPath_;
};

// Starts a server with the transmitters and timing of `lineSpec`.
std::optional<std::string> StartPtyServer(PtyServer& server, const LineSpec& lineSpec,
                                          const std::filesystem::path& portDir, int comNumber);

}  // namespace corvel::sim
