#include "ui/main/bus_monitor_windows.h"

namespace corvel {

void BusMonitorWindows::show(QWidget* over) {
    if (monitor_ == nullptr) monitor_ = new BusMonitor(log_, files_, prompter_, over);
    if (monitor_->parentWidget() != over) moveTo(over);
    monitor_->show();
    monitor_->raise();
    monitor_->activateWindow();
}

void BusMonitorWindows::hold(QWidget* window) {
    if (monitor_ == nullptr || !monitor_->isVisible()) return;
    moveTo(window);
    monitor_->show();
}

void BusMonitorWindows::release(QWidget* window) {
    if (monitor_ == nullptr || monitor_->parentWidget() != window) return;
    if (home_ == nullptr || home_ == window) {
        delete monitor_;  // the exchanges stay in the log
        return;
    }
    const bool visible = monitor_->isVisible();
    moveTo(home_);
    if (visible) monitor_->show();
}

// A window changing its parent is hidden and placed anew: keep its place.
void BusMonitorWindows::moveTo(QWidget* parent) {
    const QRect place = monitor_->geometry();
    monitor_->setParent(parent, Qt::Window);
    monitor_->setGeometry(place);
}

}  // namespace corvel
