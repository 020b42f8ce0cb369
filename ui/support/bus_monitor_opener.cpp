#include "ui/support/bus_monitor_opener.h"

#include <QShortcut>
#include <QWidget>

namespace corvel {

BusMonitorShortcutOn::BusMonitorShortcutOn(BusMonitorOpener* opener, QWidget& window)
    : opener_(opener), window_(window) {
    if (opener_ == nullptr) return;
    auto* shortcut = new QShortcut(BusMonitorShortcut(), &window_);
    shortcut->setObjectName("busMonitorShortcut");
    QObject::connect(shortcut, &QShortcut::activated, &window_,
                     [opener = opener_, window = &window_] { opener->show(window); });
    opener_->hold(&window_);
}

BusMonitorShortcutOn::~BusMonitorShortcutOn() {
    if (opener_ != nullptr) opener_->release(&window_);
}

}  // namespace corvel
