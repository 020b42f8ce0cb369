#pragma once
// Serial devices this user is not allowed to open. On Linux a USB adapter
// usually belongs to the group "dialout"; a user outside it gets EACCES. The
// exchange still fails with its usual text; besides, the serial backend
// reports the denied device here, and the program that installed a listener
// tells the technician how to get access.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace corvel {

// A device the backend was not allowed to open, as it found it.
struct DeniedPort {
    std::string devicePath;
    std::string group;          // the group owning the device; empty when unknown
    bool groupMayOpen = false;  // the group's permission bits allow reading and writing
};

// What the technician reads: which group owns the device, the command that
// joins it, and that the membership applies from the next login. Without a
// group that grants access the hint points to the administrator instead.
std::string PortPermissionHint(const DeniedPort& port);

using PortPermissionListener = std::function<void(const DeniedPort&)>;

// Process-wide; the listener runs on the thread of the exchange, inside it.
// Returns the listener it replaces.
PortPermissionListener SetPortPermissionListener(PortPermissionListener listener);
void ReportPortPermissionDenied(const DeniedPort& port);
// How many opens were denied for lack of permission in this process so far.
std::uint64_t PortPermissionDenials();

// A listener that hands the hint of the first denied device to `show` and
// ignores later ones: the technician is told once per run.
PortPermissionListener HintOncePerRun(std::function<void(const std::string& hint)> show);

// Installs a listener for its lifetime and puts the previous one back after.
class ScopedPortPermissionListener {
public:
    explicit ScopedPortPermissionListener(PortPermissionListener listener)
        : previous_(SetPortPermissionListener(std::move(listener))) {}
    ~ScopedPortPermissionListener() { SetPortPermissionListener(std::move(previous_)); }
    ScopedPortPermissionListener(const ScopedPortPermissionListener&) = delete;
    ScopedPortPermissionListener& operator=(const ScopedPortPermissionListener&) = delete;

private:
    PortPermissionListener previous_;
};

}  // namespace corvel
