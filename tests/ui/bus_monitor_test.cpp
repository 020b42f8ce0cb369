// The bus monitor over the main window: a search for the demo transmitter
// shows up in it exchange by exchange, by the operations' names.
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QTest>

#include "app/startup.h"
#include "link/exchange_log.h"
#include "tests/ui/ui_test_rig.h"
#include "ui/main/bus_monitor_windows.h"
#include "ui/tools/tool_windows.h"

using namespace corvel;
using namespace corvel::testing;

class BusMonitorTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aSearchShowsItsExchangesByName() {
        // GIVEN the demo transmitter on COM3 and the main window with a bus monitor
        UiRig rig;
        rig.attach(3, "Q712");
        ExchangeLog log;
        BusMonitorWindows monitor(log, rig.files, rig.prompter);
        UiContext context = rig.context();
        context.exchanges = &log;
        context.busMonitor = &monitor;
        RestoreCommSettings(rig.comm, rig.store);
        CT4400PCDialog window(context);
        monitor.setHome(&window);
        window.show();
        // WHEN the operator finds the transmitter over USB and opens View > Bus monitor
        Click(&window, "usbRadio");
        rig.prompter.answer({MessageAnswer::Yes});
        Click(&window, "findDeviceButton");
        window.findChild<QAction*>("busMonitorAction")->trigger();
        BusMonitor* shown = monitor.window();
        QVERIFY(shown != nullptr && shown->isVisible());
        shown->refresh();
        // THEN the identity request and its good reply are listed by name, on COM3
        const BusMonitorModel& model = shown->model();
        QVERIFY(model.rowCount() >= 2);
        QCOMPARE(model.cellText(0, BusMonitorModel::Command), std::string("ReadIdentity, to 0/0"));
        QCOMPARE(model.cellText(0, BusMonitorModel::Port), std::string("COM3 115200"));
        QCOMPARE(model.cellText(1, BusMonitorModel::Direction), std::string("In"));
        QCOMPARE(model.cellText(1, BusMonitorModel::Status), std::string("Good"));
        QCOMPARE(model.cellText(1, BusMonitorModel::Check), std::string("OK"));
        QVERIFY(model.countersText().starts_with("Exchanges: " + std::to_string(model.rowCount() / 2)));
        QCOMPARE(CutCaptions(shown), QString());
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(shown->grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/bus_monitor_window.png"));
        // AND with failures only, none of those good exchanges remains
        shown->findChild<QCheckBox*>("failuresOnlyCheck")->setChecked(true);
        QCOMPARE(model.rowCount(), 0);
    }

    void staysUsableWhileAModalToolWindowRuns() {
        // GIVEN the bus monitor open over the main window
        UiRig rig;
        rig.findDevice(3, "Q712");
        ExchangeLog log;
        BusMonitorWindows monitor(log, rig.files, rig.prompter);
        ToolWindows tools(rig.comm, rig.store, rig.ports, rig.shared, rig.prompter, rig.files);
        tools.setBusMonitor(&log, &monitor);
        QWidget home;
        monitor.setHome(&home);
        monitor.show(&home);
        // WHEN a modal tool window runs (a window it does not own would be blocked)
        QWidget* heldBy = nullptr;
        WhenModalOpens([&](QWidget* tool) {
            heldBy = monitor.window()->isVisible() ? monitor.window()->parentWidget() : nullptr;
            tool->close();
        });
        tools.open(ToolWindow::DeviceInfo, &home);
        // THEN the monitor was that window's while it ran, and is the main window's again after
        QVERIFY(heldBy != nullptr && heldBy != &home);
        QCOMPARE(monitor.window()->parentWidget(), &home);
        QVERIFY(monitor.window()->isVisible());
        QVERIFY(log.counters().exchanges > 0);
    }
};

QTEST_MAIN(BusMonitorTest)
#include "bus_monitor_test.moc"
