// Demo mode end to end: the simulator program on a pseudo-terminal, found
// through the port map, and the main window finding it over the real serial
// backend.
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "ui/main/demo_simulator.h"
#include "app/startup.h"
#include "link/system_serial_port.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

class DemoTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findsTheSimulatedTransmitterAndCleansUp() {
        // GIVEN no port folder of the user's own, and none of the machine's ports in reach
        qunsetenv("CORVEL_PORT_DIR");
        qputenv("CORVEL_PORT_DIR_ONLY", "1");
        QString folder;
        {
            DemoSimulator simulator;
            QString error;
            // WHEN demo mode starts a Q710
            QVERIFY2(simulator.start("Q710", error), qPrintable(error));
            folder = QString::fromLocal8Bit(qgetenv("CORVEL_PORT_DIR"));
            QVERIFY(!folder.isEmpty());
            QVERIFY(QFileInfo::exists(QDir(folder).filePath(simulator.portName())));
            // AND the operator searches over USB with the real serial backend and accepts
            UiRig rig;
            RestoreCommSettings(rig.comm, rig.store);
            CT4400PCDialog window(UiContext{rig.comm, rig.store, SystemSerialPortFactory(), rig.shared, rig.prompter,
                                            rig.launcher, rig.tools, rig.connectDialogs, rig.files});
            window.show();
            rig.prompter.answer({MessageAnswer::Yes});
            Click(&window, "findDeviceButton");
            // THEN the simulated transmitter was offered on its port and accepted
            QCOMPARE(rig.prompter.texts().size(), std::size_t{1});
            const std::string offer = rig.prompter.texts().front();
            QVERIFY2(offer.find(", " + simulator.portName().toStdString() + "\n") != std::string::npos, offer.c_str());
            QVERIFY(rig.comm.q710Family);
            QVERIFY(Enabled(&window, "measurementConfigurationButton"));
        }
        // AND leaving demo mode stops the simulator and removes the private folder
        QVERIFY(!QFileInfo::exists(folder));
        qunsetenv("CORVEL_PORT_DIR_ONLY");
    }
};

QTEST_MAIN(DemoTest)
#include "demo_test.moc"
