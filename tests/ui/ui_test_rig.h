#pragma once
// What a window test hands the main window: in-memory settings, the
// simulator's in-process serial line (with a record of the baud rate of every
// exchange), a scripted operator, and recorders for the launcher, the tool
// windows and the connect dialogs.

#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/comm_settings.h"
#include "ui/main/connect_dialogs.h"
#include "ui/main/ct4400pc_dialog.h"
#include "sim/device_config.h"
#include "sim/inprocess_port.h"
#include "ui/support/recording_launcher.h"
#include "ui/support/scripted_file_chooser.h"
#include "ui/support/scripted_prompter.h"
#include "link/shared_device_values.h"
#include "app/stored_settings.h"
#include "ui/tools/tool_context.h"
#include "ui/support/tool_window_opener.h"
#include "ui/main/ui_context.h"

namespace corvel::testing {

// Records the line settings of every exchange that reaches the simulator, and
// can lose the reply to chosen requests (the read then times out empty).
class RecordingPortFactory final : public SerialPortFactory {
public:
    explicit RecordingPortFactory(SerialPortFactory& inner) : inner_(inner) {}
    std::unique_ptr<SerialPort> create() override;

    std::vector<std::uint32_t> baudRates;  // one per configured exchange
    std::vector<std::string> openedNames;  // one per exchange
    int created = 0;
    std::function<bool(ByteSpan request)> loseReplyTo;

private:
    SerialPortFactory& inner_;
};

class RecordingToolOpener final : public ToolWindowOpener {
public:
    void open(ToolWindow tool, QWidget*) override { opened.push_back(tool); }
    std::vector<ToolWindow> opened;
};

// Answers the connect dialogs from a script and records what each opening was
// given; an unscripted opening is cancelled.
class ScriptedConnectDialogs final : public ConnectDialogs {
public:
    std::optional<Rs232ConnectValues> askRs232(const Rs232ConnectValues& previous) override;
    std::optional<Rs485ConnectValues> askRs485(const Rs485ConnectValues& previous) override;

    std::deque<std::optional<Rs232ConnectValues>> rs232Answers;
    std::deque<std::optional<Rs485ConnectValues>> rs485Answers;
    std::vector<Rs232ConnectValues> rs232Given;
    std::vector<Rs485ConnectValues> rs485Given;
};

struct UiRig {
    UiRig();

    // A transmitter of `model` (a preset of the simulator) on COM `port`.
    sim::SimDevice& attach(int port, const std::string& model);
    sim::SimDevice& attach(int port, sim::DeviceConfig config);
    UiContext context();
    // What a tool window is given; its requests to open other tool windows are recorded.
    ToolContext toolContext();
    // Start-up as the program does it, then the main window.
    std::unique_ptr<CT4400PCDialog> openWindow();
    // A transmitter of `model` on COM `port` found over USB and accepted by the
    // operator, as a technician does before opening a tool window: the store
    // and the communication settings hold its connection afterwards. The
    // operator's answers and the recorded boxes are cleared again.
    sim::SimDevice& findDevice(int port, const std::string& model);
    sim::SimDevice& findDevice(int port, sim::DeviceConfig config);

    CommSettings comm;
    MemoryStoredSettings store;
    sim::InProcessBus bus;
    sim::InProcessPortFactory simPorts{bus};
    RecordingPortFactory ports{simPorts};
    SharedDeviceValues shared;
    ScriptedPrompter prompter;
    ScriptedFileChooser files;
    RecordingLauncher launcher;
    RecordingToolOpener tools;
    ScriptedConnectDialogs connectDialogs;
};

// Clicks the child of `window` with that object name (a button or radio).
void Click(QWidget* window, const char* objectName);
// Runs `action` with the next modal window once it is open; gives up after a
// bounded number of event-loop turns.
void WhenModalOpens(std::function<void(QWidget*)> action);
// The enabled state of the named child.
bool Enabled(QWidget* window, const char* objectName);
bool Shown(QWidget* window, const char* objectName);
// The captions of the visible labels, buttons and group boxes of `window`
// that are narrower than their text needs, one a line ("" when none is cut).
QString CutCaptions(QWidget* window);
// The visible, enabled single-line fields of `window` that mislead the eye: a
// read-only one that looks editable, a number not aligned right. One a line,
// "" when none does.
QString MisleadingFields(QWidget* window);
// The parts of `window` a technician could not reach or read on its screen:
// the window larger than the screen less a panel and title bar, a visible
// control outside the window and not in a scrolling area, or squeezed below its
// smallest height. One a line, "" when all fit.
QString BeyondTheScreen(QWidget* window);

}  // namespace corvel::testing
