#include "link/log_copy.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>
#include <utility>

namespace corvel {

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint8_t kHoldLogging = 255;
constexpr std::uint8_t kReleaseLogging = 0;
// The transmitter needs a moment after closing a file before logging resumes.
constexpr std::chrono::milliseconds kReleasePause{200};
// No transmitter holds a log this large; a transfer that goes on beyond it is
// stopped rather than left running.
constexpr std::size_t kMostBlocks = std::size_t{1} << 20;
constexpr int kMostPartialNames = 100;

std::string SystemReason(int error) { return std::generic_category().message(error); }

// The new file the blocks go to, beside the target and removed unless it
// becomes the target.
class PartialFile {
public:
    explicit PartialFile(const fs::path& target) : target_(target) {
        // A name no other copy to the same target is using.
        std::error_code ignored;
        for (int n = 0; n < kMostPartialNames; ++n) {
            path_ = target.string() + ".part" + (n ? std::to_string(n) : "");
            if (!fs::exists(fs::symlink_status(path_, ignored))) break;
        }
        file_ = std::fopen(path_.string().c_str(), "wb");
        if (!file_) {
            fail(errno);
            path_.clear();
        }
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;
    ~PartialFile() { discard(); }

    const std::string& failure() const { return failure_; }
    bool opened() const { return file_ != nullptr; }

    bool restart() {
        file_ = std::freopen(path_.string().c_str(), "wb", file_);
        return file_ || fail(errno);
    }
    bool append(const std::array<std::uint8_t, kLogBlockBytes>& block) {
        return std::fwrite(block.data(), 1, block.size(), file_) == block.size() || fail(errno);
    }
    // Completes the file and puts it in the target's place.
    bool keep() {
        const int closed = std::fclose(std::exchange(file_, nullptr));
        if (closed != 0) return fail(errno);
        std::error_code error;
        fs::rename(path_, target_, error);
        if (error) return fail(error.value());
        path_.clear();
        return true;
    }

private:
    bool fail(int error) {
        failure_ = "cannot write " + target_.string() + ": " + SystemReason(error);
        return false;
    }
    void discard() {
        if (file_) std::fclose(std::exchange(file_, nullptr));
        std::error_code ignored;
        if (!path_.empty()) fs::remove(path_, ignored);
    }

    fs::path target_;
    fs::path path_;
    std::FILE* file_ = nullptr;
    std::string failure_;
};

// One pass over the file: hold logging, open, blocks, close, release.
class CopyAttempt {
public:
    enum class End { Complete, BlockFailed, WriteFailed, Stopped };

    CopyAttempt(DeviceSession& session, const LogCopyRequest& request, PartialFile& out,
                const LogCopyObserver& observer, int attempt)
        : session_(session), request_(request), out_(out), observer_(observer) {
        progress_.estimatedBlocks = std::max<std::size_t>(1, request.estimatedBlocks);
        progress_.attempt = attempt;
    }

    End run() {
        session_.ReadLogState(request_.stateRoute, kHoldLogging);
        const End end = session_.OpenLogFile(request_.storeRoute, request_.fileNumber)
                            ? readBlocks()
                            : failed("opening log file " + std::to_string(request_.fileNumber) + " failed");
        session_.CloseLogFile(request_.storeRoute, request_.fileNumber);
        session_.context().ports.create()->pause(kReleasePause);
        session_.ReadLogState(request_.stateRoute, kReleaseLogging);
        return end;
    }

    const std::string& failure() const { return failure_; }
    std::uint64_t bytes() const { return progress_.bytes(); }

private:
    End readBlocks() {
        const Clock::time_point start = Clock::now();
        if (!report()) return End::Stopped;
        for (bool more = true; more;) {
            if (progress_.blocks >= kMostBlocks) return failed("the log file does not end");
            more = session_.ReadLogBlock(request_.storeRoute, request_.fileNumber);
            if (!session_.logTransfer.logBlockReceived)
                return failed("reading log block " + std::to_string(progress_.blocks + 1) + " failed");
            if (!out_.append(session_.logTransfer.logBuffer)) return End::WriteFailed;
            ++progress_.blocks;
            progress_.remaining = RemainingCopyTime(Clock::now() - start, progress_.blocks, progress_.estimatedBlocks);
            if (!report()) return End::Stopped;
        }
        return End::Complete;
    }

    bool report() { return !observer_ || observer_(progress_); }

    End failed(const std::string& what) {
        failure_ = what + ": " + session_.statusText;
        return End::BlockFailed;
    }

    DeviceSession& session_;
    const LogCopyRequest& request_;
    PartialFile& out_;
    const LogCopyObserver& observer_;
    LogCopyProgress progress_;
    std::string failure_;
};

LogCopyResult Ended(LogCopyResult::Outcome outcome, std::string failure, int attempts, std::uint64_t bytes = 0) {
    return LogCopyResult{outcome, std::move(failure), bytes, attempts};
}

}  // namespace

int LogCopyProgress::percent() const {
    const std::size_t estimate = std::max<std::size_t>(1, estimatedBlocks);
    return static_cast<int>(std::clamp<std::size_t>(blocks * 100 / estimate, 1, 100));
}

std::optional<std::string> LogTargetProblem(const fs::path& target) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) return target.string() + " is not a regular file";
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    if (!fs::exists(fs::status(folder, error))) return "folder " + folder.string() + " does not exist";
    if (!fs::is_directory(folder, error)) return "cannot write " + target.string() + ": " + SystemReason(ENOTDIR);
    return std::nullopt;
}

std::optional<std::chrono::seconds> RemainingCopyTime(Clock::duration elapsed, std::size_t blocks,
                                                      std::size_t estimatedBlocks) {
    if (blocks == 0) return std::nullopt;
    const std::size_t left = estimatedBlocks > blocks ? estimatedBlocks - blocks : 0;
    const auto perBlock = elapsed / static_cast<Clock::rep>(blocks);
    return std::chrono::ceil<std::chrono::seconds>(perBlock * static_cast<Clock::rep>(left));
}

LogCopyResult CopyLogFile(DeviceSession& session, const LogCopyRequest& request, const fs::path& target,
                          const LogCopyObserver& observer) {
    using Outcome = LogCopyResult::Outcome;
    if (const auto problem = LogTargetProblem(target)) return Ended(Outcome::TargetRefused, *problem, 0);
    PartialFile out(target);
    if (!out.opened()) return Ended(Outcome::Failed, out.failure(), 0);
    std::string failure;
    for (int attempt = 1; attempt <= kLogCopyAttempts; ++attempt) {
        if (attempt > 1 && !out.restart()) return Ended(Outcome::Failed, out.failure(), attempt);
        CopyAttempt copy(session, request, out, observer, attempt);
        switch (copy.run()) {
            case CopyAttempt::End::Complete:
                if (!out.keep()) return Ended(Outcome::Failed, out.failure(), attempt);
                return Ended(Outcome::Complete, {}, attempt, copy.bytes());
            case CopyAttempt::End::Stopped: return Ended(Outcome::Stopped, "the copy was stopped", attempt);
            case CopyAttempt::End::WriteFailed: return Ended(Outcome::Failed, out.failure(), attempt);
            case CopyAttempt::End::BlockFailed: failure = copy.failure(); break;
        }
    }
    return Ended(Outcome::Failed, failure + " (" + std::to_string(kLogCopyAttempts) + " attempts)", kLogCopyAttempts);
}

}  // namespace corvel
