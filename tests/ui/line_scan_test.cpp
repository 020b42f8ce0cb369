// The line inventory's window: Select leaves the main window, the store and the
// settings as a Find Device acceptance of the same transmitter does, and the
// real widgets list a line of eight and hand the fifth to the main window.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <QTest>

#include "app/startup.h"
#include "link/port_names.h"
#include "tests/ui/ui_test_rig.h"
#include "ui/main/line_scan_window.h"
#include "ui/main/main_window_model.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

// The main window's model on a rig, as the window holds it.
struct MainSide {
    explicit MainSide(UiRig& rig)
        : session(LinkContext{rig.comm, rig.store, rig.ports, notifier, rig.shared}),
          model(MainWindowServices{session, rig.comm, rig.store, rig.prompter, rig.launcher, rig.connectDialogs,
                                   host}) {
        RestoreCommSettings(rig.comm, rig.store);
        model.open();
    }
    SilentNotifier notifier;
    DeviceSession session;
    WindowHost host;
    MainWindowModel model;
};

// Everything a selection leaves behind, one line each, for a readable comparison.
QString Aftermath(UiRig& rig, const MainSide& side) {
    QStringList lines;
    for (const std::string_view key : {key::kPort, key::kBaudRate, key::kSourceNetwork, key::kEPIAddress,
                                       key::kEVIAddress, key::kCommBoardAddress, key::kCommModule})
        lines << QString("%1=%2").arg(QString::fromUtf8(key.data(), static_cast<int>(key.size())),
                                      QString::fromStdString(rig.store.read(key, "<none>")));
    const CommSettings& c = rig.comm;
    lines << QString("comm %1 %2 %3 %4 %5 %9 p2 %6 q710 %7 early %8")
                 .arg(QString::fromStdString(c.portName), QString::fromStdString(c.baudText))
                 .arg(static_cast<int>(c.lineInterface))
                 .arg(c.rs485Address)
                 .arg(QString::fromStdString(c.portSelectorText))
                 .arg(c.p2Present)
                 .arg(c.q710Family)
                 .arg(c.earlyFirmware)
                 .arg(QString::fromStdString(c.baudSelectorText));
    const MainWindowState& s = side.model.state();
    const ToolButtonStates& b = s.buttons;
    lines << QString("buttons %1%2%3%4%5%6%7%8")
                 .arg(b.measurementConfiguration)
                 .arg(b.analogOutput)
                 .arg(b.fieldRecalibration)
                 .arg(b.deviceInfo)
                 .arg(b.reflashFirmware)
                 .arg(b.dataLogUtility)
                 .arg(b.setNewAddress)
                 .arg(b.setNewAddressShown);
    QString route;
    for (const std::uint8_t byte : s.deviceRoute) route += QString::number(byte) + " ";
    lines << "route " + route
          << QString("address %1 readOnly %2 second pass %3")
                 .arg(s.addressField)
                 .arg(s.addressFieldReadOnly)
                 .arg(s.secondPass)
          << QString::fromStdString(s.p1Text + " | " + s.p2Text + " | " + SelectedTransmitterText(s.selected))
          << QString::fromStdString("model " + side.session.memory.modelCodeText) +
                 QString(" accepted %1 module %2")
                     .arg(side.session.discovery.currentNetworkAddress)
                     .arg(side.session.discovery.pressureModuleAddress);
    return lines.join('\n');
}

}  // namespace

class LineScanTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selectLeavesWhatFindDeviceAcceptanceLeaves_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("address");
        QTest::newRow("USB Q712 on COM3") << "Q712" << int(LineInterface::Usb) << 3 << 40;
        QTest::newRow("RS232 440D on COM5") << "440D" << int(LineInterface::Rs232) << 5 << 40;
        QTest::newRow("RS485 4400 at 77 on COM2") << "4400" << int(LineInterface::Rs485) << 2 << 77;
    }
    void selectLeavesWhatFindDeviceAcceptanceLeaves() {
        QFETCH(QString, model);
        QFETCH(int, line);
        QFETCH(int, port);
        QFETCH(int, address);
        const auto lineInterface = static_cast<LineInterface>(line);
        const std::string portText = "COM" + std::to_string(port);
        const std::string baud = lineInterface == LineInterface::Usb ? "115200" : "38400";
        sim::DeviceConfig config = *sim::ModelConfig(model.toStdString());
        config.address = static_cast<std::uint8_t>(address);

        // GIVEN the same transmitter on two rigs
        UiRig found;
        found.attach(port, config);
        MainSide byFind(found);
        UiRig selected;
        selected.attach(port, config);
        MainSide bySelect(selected);

        // WHEN one accepts it in Find Device and the other selects it from the inventory
        if (lineInterface == LineInterface::Rs232) {
            byFind.model.chooseRs232();
            found.connectDialogs.rs232Answers.push_back(Rs232ConnectValues{baud});
        } else if (lineInterface == LineInterface::Rs485) {
            byFind.model.chooseRs485();
            found.connectDialogs.rs485Answers.push_back(
                Rs485ConnectValues{static_cast<std::uint8_t>(address), portText, baud});
            found.prompter.answer({MessageAnswer::Yes});  // the long search
        }
        found.prompter.answer({MessageAnswer::Yes});  // the offer
        QCOMPARE(byFind.model.findDevice(), SearchOutcome::Accepted);
        const std::string listedPort = lineInterface == LineInterface::Rs485 ? portText : PortOpenName(port);
        QCOMPARE(bySelect.model.selectListed(
                     ListedTransmitter{lineInterface, listedPort, baud, static_cast<std::uint8_t>(address)}),
                 SearchOutcome::Accepted);

        // THEN both leave the same store, settings and window, and the inventory asked nothing
        QCOMPARE(Aftermath(selected, bySelect), Aftermath(found, byFind));
        QVERIFY(selected.prompter.shown().empty());
    }

    void exportWritesTheListAsCsvWithAwkwardTextsQuoted() {
        // GIVEN a transmitter whose tag holds a comma and a quote, listed by a scan
        UiRig rig;
        sim::DeviceConfig config = *sim::ModelConfig("4400");
        config.address = 9;
        config.tag = "Tank 3, \"north\"";
        rig.attach(2, config);
        WindowHost host;
        LineScanModel model(LineScanServices{rig.comm, rig.ports, rig.prompter, rig.files, host,
                                             [&] { return rig.bus.clock().now(); }});
        model.setChoices(LineScanChoices{LineInterface::Rs485, "COM2", "19200", 1, 20});
        model.scan();
        // WHEN the list is exported
        const QString path = QDir::temp().filePath(QString("line-%1.csv").arg(QCoreApplication::applicationPid()));
        rig.files.answer(path.toStdString());
        model.exportCsv();
        // THEN the file holds the headings and the row, the tag quoted
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()),
                 QString("Port,Address,Model,Model name,Serial number,Version,Tag,P1,P2\r\n"
                         "COM2,9,4400,T4400 Pressure,SIM0000001,01.00,\"Tank 3, \"\"north\"\"\",GI 0-100,\r\n"));
        file.remove();
    }

    void scanLineListsEightAndTheFifthOpensItsToolWindows() {
        // GIVEN the simulator's eight-transmitter line on COM4 at 115200 baud
        UiRig rig;
        const char* models[] = {"4400", "4402", "440D", "4400", "Q712", "4402", "440D", "4400"};
        const int addresses[] = {1, 12, 30, 47, 77, 120, 200, 254};
        for (int i = 0; i < 8; ++i) {
            sim::DeviceConfig config = *sim::ModelConfig(models[i]);
            config.address = static_cast<std::uint8_t>(addresses[i]);
            config.serialNumber = "T44-" + std::to_string(1000 + i);
            config.tag = "PT-" + std::to_string(addresses[i]);
            rig.attach(4, config);
        }
        auto window = rig.openWindow();
        QString cut;
        // WHEN the technician scans the line in "Scan line..." and selects the fifth row
        WhenModalOpens([&](QWidget* scan) {
            scan->findChild<QComboBox*>("interfaceChoice")->setCurrentText("RS485");
            scan->findChild<QComboBox*>("portChoice")->setCurrentText("COM4");
            scan->findChild<QComboBox*>("baudChoice")->setCurrentText("115200");
            Click(scan, "scanButton");
            auto* table = scan->findChild<QTableWidget*>("inventoryTable");
            QCOMPARE(table->rowCount(), 8);
            QCOMPARE(table->item(4, 2)->text(), QString("Q712"));
            QCOMPARE(table->item(4, 4)->text(), QString("T44-1004"));
            cut = CutCaptions(scan);
            QDir().mkpath(CORVEL_SCREENSHOT_DIR);
            QVERIFY(scan->grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/line_scan_window.png"));
            table->selectRow(4);
            Click(scan, "selectButton");
        });
        Click(window.get(), "scanLineButton");
        QCOMPARE(cut, QString());

        // THEN the main window has it selected on RS485, and its tool windows open
        QCOMPARE(window->state().selected.address, 77);
        QCOMPARE(window->state().selected.model, std::string("Q712"));
        QVERIFY(window->findChild<QAbstractButton*>("rs485Radio")->isChecked());
        QCOMPARE(CutCaptions(window.get()), QString());
        QVERIFY(window->grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/main_window_after_scan_select.png"));
        Click(window.get(), "deviceInfoButton");
        Click(window.get(), "measurementConfigurationButton");
        QCOMPARE(rig.tools.opened,
                 (std::vector<ToolWindow>{ToolWindow::DeviceInfo, ToolWindow::MeasurementConfiguration}));
    }
};

QTEST_MAIN(LineScanTest)
#include "line_scan_test.moc"
