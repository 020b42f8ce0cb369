#include "ui/main/ct4400pc_interface_app.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "ui/main/bus_monitor_windows.h"
#include "ui/main/ct4400pc_dialog.h"
#include "ui/support/link_trace_log.h"
#include "ui/main/modal_connect_dialogs.h"
#include "link/port_permission.h"
#include "ui/support/qt_file_chooser.h"
#include "ui/support/qt_launcher.h"
#include "ui/support/qt_prompter.h"
#include "ui/support/qt_stored_settings.h"
#include "app/startup.h"
#include "ui/tools/tool_windows.h"

namespace corvel {

int CT4400PCInterfaceApp::run() {
    QtStoredSettings store(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName());
    CommSettings& comm = TheCommSettings();
    RestoreCommSettings(comm, store);

    QtPrompter prompter;
    const ScopedPortPermissionListener permissionHint(HintOncePerRun([&prompter](const std::string& hint) {
        prompter.show(Message{hint, std::string(kApplicationTitle), MessageIcon::Warning, MessageButtons::Ok});
    }));
    QtLauncher launcher;
    ModalConnectDialogs connectDialogs(prompter);
    TracingSerialPortFactory tracedPorts(ports_, LinkTraceToLog());
    QtFileChooser files;
    ExchangeLog exchanges;
    BusMonitorWindows busMonitor(exchanges, files, prompter);
    ToolWindows tools(comm, store, tracedPorts, TheSharedDeviceValues(), prompter, files);
    tools.setBusMonitor(&exchanges, &busMonitor);
    const UiContext context{comm,  store,          tracedPorts, TheSharedDeviceValues(), prompter, launcher,
                            tools, connectDialogs, files,       &exchanges,              &busMonitor};

    CT4400PCDialog window(context);
    busMonitor.setHome(&window);
    window.setStatusNote(statusNote_);
    window.exec();
    return 0;
}

}  // namespace corvel
