#pragma once
// The program's BusMonitorOpener: one bus monitor window, made when first
// asked for, a window of the main window (its "home") or, while a modal tool
// window asks for it, of that tool window.

#include <QPointer>

#include "ui/main/bus_monitor_view.h"
#include "ui/support/bus_monitor_opener.h"

namespace corvel {

class BusMonitorWindows final : public BusMonitorOpener {
public:
    BusMonitorWindows(ExchangeLog& log, FileChooser& files, Prompter& prompter)
        : log_(log), files_(files), prompter_(prompter) {}

    // The window the monitor belongs to when no tool window holds it.
    void setHome(QWidget* home) { home_ = home; }

    void show(QWidget* over) override;
    void hold(QWidget* window) override;
    void release(QWidget* window) override;
    // The monitor, once made; nullptr before.
    BusMonitor* window() const { return monitor_; }

private:
    void moveTo(QWidget* parent);

    ExchangeLog& log_;
    FileChooser& files_;
    Prompter& prompter_;
    QPointer<QWidget> home_;
    QPointer<BusMonitor> monitor_;
};

}  // namespace corvel
