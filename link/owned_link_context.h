#pragma once
// What a DeviceSession needs besides its ports, owned in one place for a
// session that runs outside the program's windows (tests, benchmarks, fuzz
// targets): its own communication settings at 115200 baud, an in-memory
// settings store, a notifier that drops its messages and shared device values
// of its own.
//
//   OwnedLinkContext link;
//   DeviceSession session(link.with(ports));

#include "app/comm_settings.h"
#include "link/device_session.h"
#include "link/notifier.h"
#include "link/shared_device_values.h"
#include "app/stored_settings.h"

namespace corvel {

struct OwnedLinkContext {
    CommSettings comm;
    MemoryStoredSettings store;
    SilentNotifier notifier;
    SharedDeviceValues shared;

    OwnedLinkContext() { comm.setBaudText("115200"); }
    OwnedLinkContext(const OwnedLinkContext&) = delete;
    OwnedLinkContext& operator=(const OwnedLinkContext&) = delete;

    // The context of a session whose ports come from `ports`.
    LinkContext with(SerialPortFactory& ports) { return LinkContext{comm, store, ports, notifier, shared}; }
};

}  // namespace corvel
