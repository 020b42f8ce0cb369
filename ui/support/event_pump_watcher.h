#pragma once
// Keeps a window repainting during a search or a reading loop: before every
// exchange the pending events are processed, except the operator's input,
// which must not start a second action in the middle of this one.

#include "ui/support/watched_port_factory.h"

namespace corvel {

class EventPumpWatcher final : public ExchangeWatcher {
public:
    bool beforeOpen(const std::string& portName) override;
    void beforeWrite(ByteSpan request) override;
};

}  // namespace corvel
