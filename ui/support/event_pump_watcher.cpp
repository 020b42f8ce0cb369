#include "ui/support/event_pump_watcher.h"

#include <QCoreApplication>

namespace corvel {

bool EventPumpWatcher::beforeOpen(const std::string&) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return true;
}

void EventPumpWatcher::beforeWrite(ByteSpan) {}

}  // namespace corvel
