#pragma once
// A SerialPortFactory decorator that lets the window look at every exchange:
// before a port opens and before a request goes out, the watcher runs (it keeps
// the window repainting, shows progress, or cancels a search). A cancelled open
// fails at once, so the rest of a long search runs out without waiting on the
// line.

#include <memory>
#include <string>

#include "link/serial_port.h"

namespace corvel {

class ExchangeWatcher {
public:
    virtual ~ExchangeWatcher() = default;
    // Runs before a port opens; false makes the open fail (the search was cancelled).
    virtual bool beforeOpen(const std::string& portName) = 0;
    // Runs before a request is written.
    virtual void beforeWrite(ByteSpan request) = 0;
};

// The error a cancelled open leaves (ECANCELED).
inline constexpr int kCancelledErrorCode = 125;
inline constexpr const char* kCancelledErrorText = "Search cancelled by the operator";

class WatchedPortFactory final : public SerialPortFactory {
public:
    explicit WatchedPortFactory(SerialPortFactory& inner) : inner_(inner) {}

    // The watcher for the exchanges that follow; nullptr watches nothing.
    void setWatcher(ExchangeWatcher* watcher) { watcher_ = watcher; }

    std::unique_ptr<SerialPort> create() override;

private:
    SerialPortFactory& inner_;
    ExchangeWatcher* watcher_ = nullptr;
};

}  // namespace corvel
