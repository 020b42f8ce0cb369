#include "link/port_permission.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>

namespace corvel {
namespace {

std::mutex listenerMutex;
PortPermissionListener& Listener() {
    static PortPermissionListener listener;
    return listener;
}
std::atomic<std::uint64_t> denials{0};

bool GroupGrantsAccess(const DeniedPort& port) {
    return port.groupMayOpen && !port.group.empty() && port.group != "root";
}

}  // namespace

std::string PortPermissionHint(const DeniedPort& port) {
    const std::string denied = "This user may not open the serial port " + port.devicePath + ".\n";
    if (!GroupGrantsAccess(port))
        return denied + "Ask the administrator for access to it (for example through a udev rule), then log in again.";
    return denied + "The port belongs to the group \"" + port.group + "\". To join that group, run\n" +
           "    sudo usermod -aG " + port.group + " $USER\n" +
           "then log out and log in again: the new group applies from the next login.";
}

PortPermissionListener SetPortPermissionListener(PortPermissionListener listener) {
    const std::lock_guard lock(listenerMutex);
    return std::exchange(Listener(), std::move(listener));
}

void ReportPortPermissionDenied(const DeniedPort& port) {
    ++denials;
    PortPermissionListener listener;
    {
        const std::lock_guard lock(listenerMutex);
        listener = Listener();
    }
    if (listener) listener(port);
}

std::uint64_t PortPermissionDenials() { return denials.load(); }

PortPermissionListener HintOncePerRun(std::function<void(const std::string& hint)> show) {
    auto given = std::make_shared<std::atomic<bool>>(false);
    return [show = std::move(show), given](const DeniedPort& port) {
        if (!given->exchange(true)) show(PortPermissionHint(port));
    };
}

}  // namespace corvel
