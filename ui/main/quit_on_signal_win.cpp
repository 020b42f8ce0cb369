#include "ui/main/quit_on_signal.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <windows.h>

namespace corvel {
namespace {

// Runs on a thread of the console: hands the request to the event loop.
BOOL WINAPI ForwardConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
    return TRUE;
}

}  // namespace

void QuitOnTerminationSignals() { SetConsoleCtrlHandler(ForwardConsoleEvent, TRUE); }

}  // namespace corvel
