#include "ct4400pc_interface_app.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "ct4400pc_dialog.h"
#include "link_trace_log.h"
#include "modal_connect_dialogs.h"
#include "port_permission.h"
#include "qt_file_chooser.h"
#include "qt_launcher.h"
#include "qt_prompter.h"
#include "qt_stored_settings.h"
#include "startup.h"
#include "tool_window_opener.h"

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
    ToolWindows tools(comm, store, tracedPorts, TheSharedDeviceValues(), prompter, files);
    const UiContext context{comm, store, tracedPorts, TheSharedDeviceValues(), prompter, launcher, tools, connectDialogs};

    CT4400PCDialog window(context);
    window.setStatusNote(statusNote_);
    window.exec();
    return 0;
}

}  // namespace corvel
