// Find Device against simulated transmitters: the port scan over USB and
// RS-232, the RS-485 address scan, the offers, and what an acceptance leaves
// in the window, the store and the settings.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "sim/device_config.h"
#include "ui/main/modal_connect_dialogs.h"
#include "link/port_names.h"
#include "link/port_permission.h"
#include "app/startup.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

Q_DECLARE_METATYPE(corvel::ToolButtonStates)

namespace {

constexpr MessageAnswer Yes = MessageAnswer::Yes;
constexpr MessageAnswer No = MessageAnswer::No;

ToolButtonStates Buttons(bool meas, bool analog, bool recal, bool info, bool reflash, bool dataLog, bool setAddress,
                         bool setAddressShown) {
    return {meas, analog, recal, info, reflash, dataLog, setAddress, setAddressShown};
}

// The button states as the window draws them.
ToolButtonStates Drawn(QWidget* window) {
    return {Enabled(window, "measurementConfigurationButton"),
            Enabled(window, "analogOutputButton"),
            Enabled(window, "fieldRecalibrationButton"),
            Enabled(window, "deviceInfoButton"),
            Enabled(window, "reflashFirmwareButton"),
            Enabled(window, "dataLogUtilityButton"),
            Enabled(window, "setNewAddressButton"),
            Shown(window, "setNewAddressButton")};
}

QByteArray Describe(const ToolButtonStates& b) {
    return QString("meas %1 analog %2 recal %3 info %4 reflash %5 log %6 setAddr %7 shown %8")
        .arg(b.measurementConfiguration)
        .arg(b.analogOutput)
        .arg(b.fieldRecalibration)
        .arg(b.deviceInfo)
        .arg(b.reflashFirmware)
        .arg(b.dataLogUtility)
        .arg(b.setNewAddress)
        .arg(b.setNewAddressShown)
        .toUtf8();
}

#define COMPARE_BUTTONS(actual, expected) QVERIFY2((actual) == (expected), Describe(actual).constData())

sim::DeviceConfig Device(const std::string& model) {
    auto config = sim::ModelConfig(model);
    if (!config) qFatal("no preset %s", model.c_str());
    return *config;
}

void Search(QWidget* window, const char* interfaceRadio) {
    Click(window, interfaceRadio);
    Click(window, "findDeviceButton");
}

// "P1" or "P2" for a request of a sensor information record, else empty.
std::string SensorRecordRead(ByteSpan request) {
    if (U8At(request, offset::kCommand1) != 0x02) return {};
    switch (U8At(request, offset::kCommand3)) {
        case 0x11: return "P1";
        case 0x21: return "P2";
        default: return {};
    }
}

// The main window with the transmitter attached at COM2, address 40, found
// over RS485 and accepted; what was said so far is cleared.
std::unique_ptr<CT4400PCDialog> AcceptOverRs485(UiRig& rig) {
    auto window = rig.openWindow();
    rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{40, "COM2", "19200"});
    rig.prompter.answer({Yes, Yes});
    Search(window.get(), "rs485Radio");
    rig.prompter.clear();
    return window;
}

// Command bytes 1-3 and the route block of a request as the line hears it:
// "02 00 00 | 80 80 80 28 F0 28".
std::string RequestOnTheLine(ByteSpan request) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    const auto add = [&](std::size_t at) {
        if (!text.empty() && text.back() != ' ') text += ' ';
        text += kHex[request[at] >> 4];
        text += kHex[request[at] & 0x0F];
    };
    for (std::size_t at = offset::kCommand1; at <= offset::kCommand3; ++at) add(at);
    text += " |";
    for (std::size_t at = request.size() - kRouteSize; at < request.size(); ++at) add(at);
    return text;
}

std::string Offer(const std::string& lines, int address, const std::string& port) {
    return "Found device (" + lines + " at address " + std::to_string(address) + ", " + port +
           "\n\nSelect this device?";
}

}  // namespace

class DiscoveryTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void portScanAcceptanceSetsButtonsByModel_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<ToolButtonStates>("expected");
        QTest::addColumn<bool>("earlyFirmware");
        QTest::newRow("USB Q710") << "usbRadio" << "Q710" << "" << Buttons(1, 0, 0, 1, 1, 1, 0, 0) << false;
        QTest::newRow("USB 440D") << "usbRadio" << "440D" << "" << Buttons(1, 1, 1, 1, 1, 1, 1, 0) << false;
        QTest::newRow("USB 4400") << "usbRadio" << "4400" << "01.00" << Buttons(1, 0, 1, 1, 1, 1, 1, 0) << false;
        QTest::newRow("RS232 4402") << "rs232Radio" << "4402" << "" << Buttons(1, 0, 1, 1, 1, 1, 1, 0) << false;
        QTest::newRow("USB other model, version 1.0")
            << "usbRadio" << "4410" << "01.00" << Buttons(1, 0, 1, 1, 1, 1, 1, 0) << true;
        QTest::newRow("RS232 other model, version 2.0")
            << "rs232Radio" << "4410" << "02.00" << Buttons(1, 0, 1, 1, 1, 1, 1, 0) << false;
    }
    void portScanAcceptanceSetsButtonsByModel() {
        QFETCH(QString, radio);
        QFETCH(QString, model);
        QFETCH(QString, version);
        QFETCH(ToolButtonStates, expected);
        QFETCH(bool, earlyFirmware);
        // GIVEN a transmitter of the model on COM3
        UiRig rig;
        sim::DeviceConfig config = Device(model == "4410" ? "4400" : model.toStdString());
        config.modelCode = model.toStdString();
        if (!version.isEmpty()) config.version = version.toStdString();
        rig.attach(3, config);
        auto window = rig.openWindow();
        rig.connectDialogs.rs232Answers.push_back(Rs232ConnectValues{"57600"});
        rig.prompter.answer({Yes});
        // WHEN the operator searches on the interface and accepts the device
        Search(window.get(), radio.toUtf8().constData());
        // THEN the buttons follow the model
        COMPARE_BUTTONS(Drawn(window.get()), expected);
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
        // AND the connection is recorded for the tool windows
        const bool twoModules = model.startsWith('Q');
        QCOMPARE(rig.store.read(key::kPort, ""), std::string("COM3"));
        QCOMPARE(rig.store.read(key::kCommBoardAddress, ""), std::string("40"));
        QCOMPARE(rig.store.read(key::kCommModule, ""), std::string("40"));
        QCOMPARE(rig.store.read(key::kEPIAddress, ""), std::string("64"));
        QCOMPARE(rig.store.read(key::kEVIAddress, ""), std::string(twoModules ? "65" : ""));
        QCOMPARE(rig.store.read(key::kSourceNetwork, ""), std::string("1"));
        QCOMPARE(rig.comm.q710Family, twoModules);
        QCOMPARE(rig.comm.earlyFirmware, earlyFirmware);
        QCOMPARE(rig.comm.rs485Address, std::uint8_t{40});
        QCOMPARE(rig.comm.baudRate, radio == "usbRadio" ? 115200u : 57600u);
        QCOMPARE(window->state().deviceRoute, (RouteBlock{1, 0xF0, 0x80, 40, 0xF0, 0x40}));
        auto* address = window->findChild<QLineEdit*>("addressField");
        QCOMPARE(address->text(), QString("40"));
        QVERIFY(address->isReadOnly());
        const QString misleading = MisleadingFields(window.get());
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
    }

    void rs485AcceptanceShowsSetNewAddress_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<ToolButtonStates>("expected");
        QTest::newRow("4402") << "4402" << Buttons(1, 0, 1, 1, 1, 1, 1, 1);
        QTest::newRow("Q710") << "Q710" << Buttons(1, 0, 0, 1, 1, 1, 0, 1);
    }
    void rs485AcceptanceShowsSetNewAddress() {
        QFETCH(QString, model);
        QFETCH(ToolButtonStates, expected);
        // GIVEN a transmitter at network address 57 on COM2
        UiRig rig;
        sim::DeviceConfig config = Device(model.toStdString());
        config.address = 57;
        rig.attach(2, config);
        auto window = rig.openWindow();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{50, "COM2", "19200"});
        rig.prompter.answer({Yes, Yes});
        // WHEN the operator searches the RS485 line from address 50 and accepts
        Search(window.get(), "rs485Radio");
        // THEN the device is found at its address, the buttons follow the model and the field is editable
        QCOMPARE(rig.prompter.texts().at(0), std::string("This process may take a few minutes.  Continue?"));
        QVERIFY(rig.prompter.texts().at(1).find("at address 57, COM2") != std::string::npos);
        COMPARE_BUTTONS(Drawn(window.get()), expected);
        auto* address = window->findChild<QLineEdit*>("addressField");
        QCOMPARE(address->text(), QString("57"));
        QVERIFY(!address->isReadOnly());
        QCOMPARE(window->state().deviceRoute, (RouteBlock{0x80, 0xF0, 0x80, 57, 0xF0, 0x40}));
        QCOMPARE(rig.store.read(key::kCommBoardAddress, ""), std::string("57"));
        QCOMPARE(rig.store.read(key::kEPIAddress, ""), std::string("64"));
        QCOMPARE(rig.comm.baudRate, 19200u);
    }

    void rs485DeclinedAtTheWarningTurnsTheToolsOff() {
        // GIVEN a 440D accepted over USB, so that every tool is on
        UiRig rig;
        rig.attach(1, Device("440D"));
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        rig.prompter.clear();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{});
        rig.prompter.answer({No});
        // WHEN the operator starts an RS485 search and answers No to the warning
        Search(window.get(), "rs485Radio");
        // THEN only the data log tool stays on, and nothing more is said
        COMPARE_BUTTONS(Drawn(window.get()), Buttons(0, 0, 0, 0, 0, 1, 0, 0));
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"This process may take a few minutes.  Continue?"});
    }

    void cancelledConnectDialogChangesNothing_data() {
        QTest::addColumn<QString>("radio");
        QTest::newRow("RS232") << "rs232Radio";
        QTest::newRow("RS485") << "rs485Radio";
    }
    void cancelledConnectDialogChangesNothing() {
        QFETCH(QString, radio);
        // GIVEN a dual-input transmitter accepted over the interface at 9600 baud
        UiRig rig;
        rig.attach(2, Device("4402"));
        auto window = rig.openWindow();
        rig.connectDialogs.rs232Answers.push_back(Rs232ConnectValues{"9600"});
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{40, "COM2", "9600"});
        rig.prompter.answer({Yes, Yes});
        Search(window.get(), radio.toUtf8().constData());
        const CommSettings before = rig.comm;
        const ToolButtonStates buttonsBefore = Drawn(window.get());
        QVERIFY(before.p2Present);
        const int exchangesBefore = rig.ports.created;
        // WHEN the operator presses Find Device again and cancels the connect dialog
        Click(window.get(), "findDeviceButton");
        // THEN nothing was sent, the line settings and flags are as they were, and so are the buttons
        QCOMPARE(rig.ports.created, exchangesBefore);
        QCOMPARE(rig.comm.portName, before.portName);
        QCOMPARE(rig.comm.baudRate, 9600u);
        QCOMPARE(rig.comm.p2Present, before.p2Present);
        QCOMPARE(rig.comm.q710Family, before.q710Family);
        QCOMPARE(rig.comm.earlyFirmware, before.earlyFirmware);
        COMPARE_BUTTONS(Drawn(window.get()), buttonsBefore);
    }

    void offerQuestionsNameLinesAddressAndPort() {
        // GIVEN a transmitter with P2 (upper limit 0) on COM100 and one without P2 on COM4
        UiRig rig;
        sim::DeviceConfig dual = Device("4402");
        dual.p1.label = sim::SensorLabel::AI;
        dual.p1.upperLimit = 300.0f;
        dual.p2.label = sim::SensorLabel::GI;
        dual.p2.upperLimit = 0.0f;
        rig.attach(100, dual);
        sim::DeviceConfig single = Device("4400");
        single.p1.label = sim::SensorLabel::DN;
        single.p1.upperLimit = 15.0f;
        rig.attach(4, single);
        auto window = rig.openWindow();
        rig.prompter.answer({No, No});
        // WHEN the operator searches over USB and declines both
        Search(window.get(), "usbRadio");
        // THEN each was offered with its own question, the P2 limit "0" left out
        const std::vector<Message>& shown = rig.prompter.shown();
        QCOMPARE(shown.size(), std::size_t{3});
        QCOMPARE(shown[0].text, Offer("P1:  DN15)", 40, "COM4"));
        QCOMPARE(shown[1].text, std::string("Found device (P1:  AI300) (P2:  GI)\nat address 40, COM100\n\nSelect this device?"));
        QCOMPARE(shown[0].buttons, MessageButtons::YesNo);
        QCOMPARE(shown[0].caption, std::string("Corvel Setup Utility"));
        // AND the search ended with nothing chosen
        QCOMPARE(shown[2].text, std::string("No device found    "));
        QCOMPARE(shown[2].buttons, MessageButtons::Ok);
    }

    void aModelNameInWindows1252ShowsInUtf8() {
        UiRig rig;
        sim::DeviceConfig device = Device("4402");
        device.modelName = "T4402 \xB0" "C";
        rig.attach(3, device);
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        QCOMPARE(window->findChild<QLabel*>("selectedTransmitter")->text(),
                 QString::fromUtf8("Selected: 4402 (T4402 \u00B0C) on COM3, address 40"));
    }

    void decliningEveryCandidateEndsAfterTheSecondPass() {
        // GIVEN a 440D accepted over USB, then devices on COM2 and COM5
        UiRig rig;
        rig.attach(2, Device("440D"));
        rig.attach(5, Device("4400"));
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        QVERIFY(Enabled(window.get(), "analogOutputButton"));
        rig.prompter.clear();
        // WHEN the operator searches again and answers No to every candidate
        rig.prompter.answer({No, No});
        Search(window.get(), "usbRadio");
        // THEN both are offered once: the second pass stops at the first port already seen
        const std::vector<std::string> texts = rig.prompter.texts();
        QCOMPARE(texts.size(), std::size_t{3});
        QVERIFY(texts[0].find(", COM2\n") != std::string::npos);
        QVERIFY(texts[1].find(", COM5\n") != std::string::npos);
        QCOMPARE(texts[2], std::string("No device found    "));
        // AND the tools are off except the data log and the unchanged analog output
        COMPARE_BUTTONS(Drawn(window.get()), Buttons(0, 1, 0, 0, 0, 1, 1, 0));
        QVERIFY(window->state().p1Text.empty());
        QCOMPARE(rig.store.read(key::kPort, ""), rig.comm.portName);
    }

    void deviceWithoutFullIdentityIsNeverOffered() {
        // GIVEN a transmitter with version 2.0 and no model code
        UiRig rig;
        sim::DeviceConfig config = Device("4400");
        config.version = "02.00";
        config.modelCode = "";
        rig.attach(1, config);
        auto window = rig.openWindow();
        // WHEN the operator searches over USB
        Search(window.get(), "usbRadio");
        // THEN it is passed over on both passes
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"No device found    "});
        QCOMPARE(rig.prompter.unscriptedQuestions(), 0);
    }

    void portsNotAllowedAreNotReportedAsEmpty() {
        // GIVEN a transmitter on COM1 that the search cannot reach, as when the
        // serial backend is refused the port for lack of permission
        UiRig rig;
        rig.attach(1, Device("4400"));
        auto window = rig.openWindow();
        bool denied = false;
        rig.ports.loseReplyTo = [&denied](ByteSpan) {
            if (!denied) ReportPortPermissionDenied({"/dev/ttyUSB0", "dialout", true});
            denied = true;
            return true;
        };
        // WHEN the operator searches over USB
        Search(window.get(), "usbRadio");
        // THEN the end of the search says that ports could not be searched
        QCOMPARE(rig.prompter.texts(),
                 std::vector<std::string>{std::string("No device found    \n") + kPortsNotAllowedNote});
        // AND a later search without a refusal says only that nothing was found
        rig.prompter.clear();
        Search(window.get(), "usbRadio");
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"No device found    "});
    }

    void rs485ScanStartsAtTheAddressEntered() {
        // GIVEN a transmitter at address 30 on COM2
        UiRig rig;
        sim::DeviceConfig config = Device("4402");
        config.address = 30;
        rig.attach(2, config);
        auto window = rig.openWindow();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{31, "COM2", "19200"});
        rig.prompter.answer({Yes});
        // WHEN the operator scans from address 31
        Search(window.get(), "rs485Radio");
        // THEN the scan runs out after address 254 without finding it
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{"This process may take a few minutes.  Continue?", "No device found    "}));
        QVERIFY(!Shown(window.get(), "setNewAddressButton"));
    }

    void cancellingTheAddressScanKeepsTheTransmitterSelectedBefore() {
        // GIVEN a 440D accepted over USB on COM1, and a transmitter at address 200 on COM2
        UiRig rig;
        rig.attach(1, Device("440D"));
        sim::DeviceConfig lineDevice = Device("4402");
        lineDevice.address = 200;
        rig.attach(2, lineDevice);
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        const MainWindowState before = window->state();
        const QString selectedBefore = window->findChild<QLabel*>("selectedTransmitter")->text();
        QCOMPARE(selectedBefore, QString("Selected: 440D (T4400 Analog Output) on COM1, address 40"));
        rig.prompter.clear();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{1, "COM2", "19200"});
        rig.prompter.answer({Yes});
        QString progressText;
        int turnsLeft = 100000;
        std::function<void()> cancelOnceTrying;
        cancelOnceTrying = [&] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (progress && progress->labelText().startsWith("Trying")) {
                progressText = progress->labelText();
                progress->cancel();
            } else if (--turnsLeft > 0) {
                QTimer::singleShot(0, cancelOnceTrying);
            }
        };
        QTimer::singleShot(0, cancelOnceTrying);
        // WHEN the operator cancels the RS485 scan while it shows its progress
        Search(window.get(), "rs485Radio");
        // THEN the progress named the address being tried, the device on the line was not reached,
        // and the search says it was cancelled
        QVERIFY2(progressText.startsWith("Trying network address "), qPrintable(progressText));
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{"This process may take a few minutes.  Continue?", "Search cancelled"}));
        // AND the 440D stays selected: buttons, route, field, lines and the settings the tools read
        COMPARE_BUTTONS(Drawn(window.get()), before.buttons);
        QCOMPARE(window->state().deviceRoute, before.deviceRoute);
        QCOMPARE(window->findChild<QLineEdit*>("addressField")->text(), QString("40"));
        QCOMPARE(window->findChild<QLabel*>("selectedTransmitter")->text(), selectedBefore);
        QCOMPARE(window->findChild<QLabel*>("p1Line")->text(), QString::fromStdString(before.p1Text));
        QCOMPARE(rig.store.read(key::kCommBoardAddress, ""), std::string("40"));
        QCOMPARE(rig.comm.lineInterface, LineInterface::Rs485);
        QCOMPARE(rig.comm.baudRate, 115200u);
        QCOMPARE(rig.comm.portName, std::string("COM1"));
    }

    void rs485SearchThatFindsNothingKeepsTheSensorLines() {
        // GIVEN a 4402 accepted over USB, its P1 line shown
        UiRig rig;
        rig.attach(1, Device("4402"));
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        const QString p1Line = window->findChild<QLabel*>("p1Line")->text();
        QVERIFY(!p1Line.isEmpty());
        rig.prompter.clear();
        // WHEN an RS485 search from address 250 finds nothing
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{250, "COM2", "19200"});
        rig.prompter.answer({Yes});
        Search(window.get(), "rs485Radio");
        // THEN nothing was found, the P1 line stays, and no transmitter is selected
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{"This process may take a few minutes.  Continue?", "No device found    "}));
        QCOMPARE(window->findChild<QLabel*>("p1Line")->text(), p1Line);
        QCOMPARE(window->findChild<QLabel*>("selectedTransmitter")->text(), QString("No transmitter selected"));
    }

    void readErrorEndsTheSearchAndKeepsTheButtons() {
        // GIVEN a transmitter whose identification read goes unanswered
        UiRig rig;
        rig.attach(1, Device("4400"));
        rig.ports.loseReplyTo = [](ByteSpan request) { return U8At(request, offset::kCommand1) == 0x62; };
        auto window = rig.openWindow();
        // WHEN the operator searches over USB
        Search(window.get(), "usbRadio");
        // THEN "Device read error" is reported as an error and the buttons stay as they were
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
        const Message& error = rig.prompter.shown().front();
        QCOMPARE(error.text, std::string("Device read error         "));
        QCOMPARE(error.caption, std::string("Error"));
        QCOMPARE(error.icon, MessageIcon::Error);
        COMPARE_BUTTONS(Drawn(window.get()), Buttons(0, 0, 0, 0, 0, 1, 0, 0));
    }

    void sensorReadsStopAtTheFirstFailureOfAPortScan() {
        // GIVEN a dual-input transmitter accepted over USB, which then stops answering the P2 read
        UiRig rig;
        rig.attach(1, Device("4402"));
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        const std::string acceptedLine = window->state().p1Text;
        QVERIFY(!acceptedLine.empty());
        rig.prompter.clear();
        std::vector<std::string> reads;
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            const std::string read = SensorRecordRead(request);
            if (!read.empty()) reads.push_back(read);
            return read == "P2";
        };
        // WHEN the operator searches again
        Search(window.get(), "usbRadio");
        // THEN the failed P2 read ends the search with the error, P1 is not read after it
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Device read error         "});
        QCOMPARE(reads, std::vector<std::string>{"P2"});
        // AND the line of the device accepted before is still shown
        QCOMPARE(window->state().p1Text, acceptedLine);
    }

    void rs485CandidateReadsP1BeforeP2() {
        // GIVEN a dual-input transmitter at address 40 on COM2
        UiRig rig;
        rig.attach(2, Device("4402"));
        auto window = rig.openWindow();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{40, "COM2", "19200"});
        rig.prompter.answer({Yes, Yes});
        std::vector<std::string> reads;
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            const std::string read = SensorRecordRead(request);
            if (!read.empty()) reads.push_back(read);
            return false;
        };
        // WHEN the operator scans the RS485 line and accepts it
        Search(window.get(), "rs485Radio");
        // THEN the candidate's inputs were read P1 first, and both lines show
        QCOMPARE(reads, (std::vector<std::string>{"P1", "P2"}));
        QVERIFY(window->state().p1Text.starts_with("P1:  "));
        QVERIFY(window->state().p2Text.starts_with("P2:  "));
    }

    void decliningTheDeviceOnTheLastPortEndsThePass() {
        // GIVEN a transmitter on COM100, the last port
        UiRig rig;
        rig.attach(100, Device("4400"));
        auto window = rig.openWindow();
        rig.prompter.answer({No});
        // WHEN the operator declines it
        Search(window.get(), "usbRadio");
        // THEN the search ends with nothing found: the second pass stops at the port already seen
        QCOMPARE(rig.prompter.texts().size(), std::size_t{2});
        QCOMPARE(rig.prompter.texts().back(), std::string("No device found    "));
        // AND no port beyond the port table was opened
        for (const std::string& name : rig.ports.openedNames) {
            QVERIFY2(PortNumberFromOpenName(name, 0) >= 1 && PortNumberFromOpenName(name, 0) <= 100, name.c_str());
        }
    }

    void interfaceChoiceKeepsTheTypedAddress() {
        // GIVEN a transmitter accepted over RS485, so the address field is editable
        UiRig rig;
        rig.attach(2, Device("4402"));
        auto window = rig.openWindow();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{40, "COM2", "19200"});
        rig.prompter.answer({Yes, Yes});
        Search(window.get(), "rs485Radio");
        auto* address = window->findChild<QLineEdit*>("addressField");
        // WHEN the operator types 41 and then chooses another interface
        address->clear();
        QTest::keyClicks(address, "41");
        Click(window.get(), "rs232Radio");
        // THEN the field still shows what was typed, and the window took it
        QCOMPARE(address->text(), QString("41"));
        QCOMPARE(window->state().addressField, std::uint8_t{41});
    }

    void searchShowsTheWaitCursorAndKeepsTheWindowResponsive() {
        // GIVEN a transmitter on COM3, so that two empty ports are probed first
        UiRig rig;
        rig.attach(3, Device("4400"));
        auto window = rig.openWindow();
        bool timerRan = false;
        int exchanges = 0;
        int exchangesWithWaitCursor = 0;
        int exchangesAfterTimer = 0;
        rig.ports.loseReplyTo = [&](ByteSpan) {
            ++exchanges;
            const QCursor* cursor = QApplication::overrideCursor();
            if (cursor && cursor->shape() == Qt::WaitCursor) ++exchangesWithWaitCursor;
            if (timerRan) ++exchangesAfterTimer;
            return false;
        };
        Qt::CursorShape cursorAtOffer = Qt::BlankCursor;
        rig.prompter.onShow([&](const Message&) {
            const QCursor* cursor = QApplication::overrideCursor();
            cursorAtOffer = cursor ? cursor->shape() : Qt::ArrowCursor;
        });
        rig.prompter.answer({Yes});
        QTimer::singleShot(0, [&] { timerRan = true; });
        // WHEN the operator searches over USB and accepts the device
        Search(window.get(), "usbRadio");
        // THEN every exchange ran under the wait cursor, the offer did not, and it is gone at the end
        QVERIFY(exchanges > 2);
        QCOMPARE(exchangesWithWaitCursor, exchanges);
        QCOMPARE(cursorAtOffer, Qt::ArrowCursor);
        QVERIFY(QApplication::overrideCursor() == nullptr);
        // AND pending events were handled between exchanges, not only after the search
        QVERIFY(timerRan);
        QVERIFY(exchangesAfterTimer > 0);
    }

    void setNewAddressOutsideTheNetworkRangeIsRefused_data() {
        QTest::addColumn<QString>("entered");
        QTest::newRow("0") << "0";
        QTest::newRow("255") << "255";
    }
    void setNewAddressOutsideTheNetworkRangeIsRefused() {
        QFETCH(QString, entered);
        // GIVEN a transmitter accepted over RS485 at address 40
        UiRig rig;
        rig.attach(2, Device("4402"));
        auto window = AcceptOverRs485(rig);
        // WHEN the operator enters the address and confirms the change
        auto* address = window->findChild<QLineEdit*>("addressField");
        address->clear();
        QTest::keyClicks(address, entered);
        rig.prompter.answer({Yes});
        const int exchangesBefore = rig.ports.created;
        Click(window.get(), "setNewAddressButton");
        // THEN the refusal is all that follows the question, and nothing is sent
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Are you sure you want to change the network address?",
                                                                 "Valid Network Address range is 1 - 254"}));
        QCOMPARE(rig.ports.created, exchangesBefore);
        QCOMPARE(rig.store.read(key::kCommBoardAddress, ""), std::string("40"));
        // AND the field keeps what the operator entered
        QCOMPARE(address->text(), entered);
    }

    void setNewAddressWithTextThatIsNoAddressRunsWithThePreviousValue_data() {
        QTest::addColumn<QString>("entered");
        QTest::newRow("256, no byte") << "256";
        QTest::newRow("empty") << "";
    }
    void setNewAddressWithTextThatIsNoAddressRunsWithThePreviousValue() {
        QFETCH(QString, entered);
        // GIVEN a transmitter accepted over RS485 at address 40
        UiRig rig;
        sim::SimDevice& device = rig.attach(2, Device("4402"));
        auto window = AcceptOverRs485(rig);
        // WHEN the operator enters text that is no address and confirms the change
        auto* address = window->findChild<QLineEdit*>("addressField");
        address->clear();
        QTest::keyClicks(address, entered);
        rig.prompter.answer({Yes});
        Click(window.get(), "setNewAddressButton");
        // THEN the question, the range message, and the change made with the previous value 40
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Are you sure you want to change the network address?",
                                                                 "Please enter an integer between 0 and 255.",
                                                                 "Device set to new network address 40"}));
        QCOMPARE(device.networkAddress(), std::uint8_t{40});
        QCOMPARE(address->text(), QString("40"));
    }

    void setNewAddressChangesTheTransmitter() {
        // GIVEN a transmitter accepted over RS485 at address 40
        UiRig rig;
        sim::SimDevice& device = rig.attach(2, Device("4402"));
        auto window = AcceptOverRs485(rig);
        // WHEN the operator enters 41 and confirms
        auto* address = window->findChild<QLineEdit*>("addressField");
        address->clear();
        QTest::keyClicks(address, "41");
        rig.prompter.answer({Yes});
        std::vector<int> emptyCommandAddresses;  // route byte 3 of every empty command
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            if (U8At(request, offset::kCommand1) == 0 && U8At(request, offset::kPayloadLength) == 0)
                emptyCommandAddresses.push_back(U8At(request, offset::kPayload + 3));
            return false;
        };
        Click(window.get(), "setNewAddressButton");
        // THEN the empty command after the write goes to the address the transmitter was accepted at,
        // the transmitter answers to 41 and the change is reported
        QCOMPARE(emptyCommandAddresses, std::vector<int>{40});
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Are you sure you want to change the network address?", "Device set to new network address 41"}));
        QCOMPARE(rig.prompter.shown().back().icon, MessageIcon::Information);
        QCOMPARE(device.networkAddress(), std::uint8_t{41});
        QCOMPARE(rig.store.read(key::kCommBoardAddress, ""), std::string("41"));
        QCOMPARE(address->text(), QString("41"));
        // AND a second change reaches the transmitter at its new address
        rig.prompter.clear();
        address->clear();
        QTest::keyClicks(address, "42");
        rig.prompter.answer({Yes});
        Click(window.get(), "setNewAddressButton");
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Are you sure you want to change the network address?", "Device set to new network address 42"}));
        QCOMPARE(device.networkAddress(), std::uint8_t{42});
        QCOMPARE(rig.comm.rs485Address, std::uint8_t{42});
    }

    void reflashMarksTheStoreBeforeTheToolStarts() {
        // GIVEN a transmitter accepted over USB
        UiRig rig;
        rig.attach(1, Device("4400"));
        auto window = rig.openWindow();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        std::string flagAtLaunch;
        rig.launcher.onOpen([&](const std::string&) { flagAtLaunch = rig.store.read(key::kFromCSU, ""); });
        // WHEN the operator presses Reflash Firmware
        Click(window.get(), "reflashFirmwareButton");
        // THEN the tool is started by its file name with FromCSU = "1" already stored
        QCOMPARE(rig.launcher.opened(), std::vector<std::string>{"ZR Reflash Utility.exe"});
        QCOMPARE(flagAtLaunch, std::string("1"));
    }

    void acceptedUsbSearchSendsOnlyTheDesignedRequests() {
        // GIVEN a single-input transmitter on COM1, and what its line hears
        UiRig rig;
        rig.attach(1, Device("4400"));
        std::vector<std::string> heard;
        rig.bus.findLine(1)->onHeard = [&heard](ByteSpan bytes) { heard.push_back(RequestOnTheLine(bytes)); };
        auto window = rig.openWindow();
        // WHEN the operator searches over USB and selects it
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        // THEN the line carries the probe, the candidate's identification and sensor reads, and
        // after Yes the device strings and the identity at its address, nothing more
        QCOMPARE(heard, (std::vector<std::string>{
                            "02 00 00 | 00 80 80 00 F0 00",  // the port scan's identity probe
                            "02 00 00 | 80 80 80 28 F0 28",  // identity at the address found
                            "62 08 00 | 80 80 80 28 F0 28",  // device strings
                            "04 20 00 | 01 F0 80 28 F0 40",  // device kind
                            "02 00 11 | 01 F0 80 28 F0 40",  // P1 sensor information
                            "03 12 00 | 01 F0 80 28 F0 40",  // and its unit record
                            "62 08 00 | 80 F0 80 28 F0 28",  // after Yes: device strings
                            "02 00 00 | 80 80 80 28 F0 28",  // and identity at the address
                        }));
    }

    void searchThatHeardOnlyDamagedRepliesSaysWhereAndWhy() {
        // GIVEN a transmitter on COM5 whose every reply fails its CRC check
        UiRig rig;
        rig.attach(5, Device("4400")).faults.corruptReplyCrc = true;
        auto window = rig.openWindow();
        // WHEN the operator searches over USB
        Search(window.get(), "usbRadio");
        // THEN "No device found" is followed by where the damaged replies came from and why
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{
                     "No device found    ",
                     "A transmitter answered on COM5 (115200 baud), but all 2 of its replies failed the reply check "
                     "(CRC mismatch). Check the cable and the line's termination; if this transmitter's firmware "
                     "seals its replies differently, turn on Options > Accept replies that fail the check and "
                     "search again."}));
        // WHEN the operator turns on the option and searches again
        window->findChild<QAction*>("acceptDamagedRepliesAction")->trigger();
        rig.prompter.clear();
        rig.prompter.answer({Yes});
        Search(window.get(), "usbRadio");
        // THEN the transmitter is offered and selected, and the option is kept for the next run
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{Offer("P1:  GI100)", 40, "COM5")});
        QVERIFY(Enabled(window.get(), "deviceInfoButton"));
        QCOMPARE(rig.store.read(key::kAcceptDamagedReplies, ""), std::string("1"));
        QVERIFY(rig.openWindow()->findChild<QAction*>("acceptDamagedRepliesAction")->isChecked());
    }

    void rs232ConnectDialogRemembersTheRate() {
        // GIVEN the real connect dialogs, and no transmitter
        UiRig rig;
        ModalConnectDialogs dialogs(rig.prompter);
        RestoreCommSettings(rig.comm, rig.store);
        CT4400PCDialog window(UiContext{rig.comm, rig.store, rig.ports, rig.shared, rig.prompter, rig.launcher,
                                        rig.tools, dialogs, rig.files});
        window.show();
        WhenModalOpens([](QWidget* dialog) {
            QCOMPARE(dialog->windowTitle(), QString("Connect to RS232 Device"));
            auto* baud = dialog->findChild<QComboBox*>("baudSelector");
            baud->setCurrentText("38400");
            QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        // WHEN the operator searches over RS232 at 38400 baud, then opens the dialog again
        Search(&window, "rs232Radio");
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"No device found    "});
        QCOMPARE(rig.comm.baudRate, 38400u);
        QString preselected;
        WhenModalOpens([&](QWidget* dialog) {
            preselected = dialog->findChild<QComboBox*>("baudSelector")->currentText();
            QTest::mouseClick(dialog->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
        });
        const int portsBefore = rig.ports.created;
        Click(&window, "findDeviceButton");
        // THEN it preselects 38400, and Cancel ends Find Device without a search
        QCOMPARE(preselected, QString("38400"));
        QCOMPARE(rig.ports.created, portsBefore);
        QCOMPARE(rig.prompter.texts().size(), std::size_t{1});
    }
};

QTEST_MAIN(DiscoveryTest)
#include "discovery_test.moc"
