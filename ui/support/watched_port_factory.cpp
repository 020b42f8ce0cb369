#include "ui/support/watched_port_factory.h"

namespace corvel {
namespace {

class WatchedPort final : public SerialPort {
public:
    WatchedPort(std::unique_ptr<SerialPort> inner, ExchangeWatcher* watcher)
        : inner_(std::move(inner)), watcher_(watcher) {}

    bool open(const std::string& name) override {
        cancelled_ = watcher_ && !watcher_->beforeOpen(name);
        return !cancelled_ && inner_->open(name);
    }
    bool configure(std::uint32_t queueSize, const LineSettings& line, const PortTimeouts& timeouts) override {
        return !cancelled_ && inner_->configure(queueSize, line, timeouts);
    }
    bool write(ByteSpan bytes, std::size_t& written) override {
        written = 0;
        if (cancelled_) return false;
        if (watcher_) watcher_->beforeWrite(bytes);
        return inner_->write(bytes, written);
    }
    bool read(MutableByteSpan buffer, std::size_t& received, const ReadCompletion& complete) override {
        received = 0;
        return !cancelled_ && inner_->read(buffer, received, complete);
    }
    void pause(std::chrono::milliseconds duration) override {
        if (!cancelled_) inner_->pause(duration);
    }
    void close() override { inner_->close(); }
    PortError lastError() const override {
        return cancelled_ ? PortError{kCancelledErrorCode, kCancelledErrorText} : inner_->lastError();
    }
    void annotate(const std::string& remark) override { inner_->annotate(remark); }

private:
    std::unique_ptr<SerialPort> inner_;
    ExchangeWatcher* watcher_;
    bool cancelled_ = false;
};

}  // namespace

std::unique_ptr<SerialPort> WatchedPortFactory::create() {
    return std::make_unique<WatchedPort>(inner_.create(), watcher_);
}

}  // namespace corvel
