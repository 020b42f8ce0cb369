// The connect dialogs, the tool windows behind the buttons, the protocol trace log,
// and a picture of the main window for a look at its layout.
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ui/main/about_dlg.h"
#include "sim/device_config.h"
#include "ui/support/link_trace_log.h"
#include "ui/main/rs232_find_device.h"
#include "ui/main/rs485_find_device.h"
#include "ui/support/scripted_prompter.h"
#include "ui/tools/tool_windows.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

class DialogsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rs232DialogOffersTheFiveRates() {
        // GIVEN the RS232 connect dialog opened with 19200 chosen before
        RS232FindDevice dialog(Rs232ConnectValues{"19200"}, nullptr);
        auto* baud = dialog.findChild<QComboBox*>("baudSelector");
        // THEN it is titled, offers the five rates and preselects 19200
        QCOMPARE(dialog.windowTitle(), QString("Connect to RS232 Device"));
        QCOMPARE(baud->count(), 5);
        QCOMPARE(baud->itemText(0), QString("9600"));
        QCOMPARE(baud->itemText(4), QString("115200"));
        QCOMPARE(baud->currentText(), QString("19200"));
        // WHEN another rate is chosen THEN the dialog returns it
        baud->setCurrentText("57600");
        QCOMPARE(dialog.values().baudText, std::string("57600"));
    }

    void rs485DialogReturnsItsThreeValues() {
        // GIVEN the RS485 connect dialog with its previous values
        ScriptedPrompter prompter;
        RS485FindDevice dialog(Rs485ConnectValues{12, "COM3", "38400"}, prompter, nullptr);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Connect to RS485 Device"));
        QCOMPARE(dialog.findChild<QLineEdit*>("addressField")->text(), QString("12"));
        QCOMPARE(dialog.findChild<QComboBox*>("portSelector")->count(), 20);
        QCOMPARE(dialog.findChild<QComboBox*>("portSelector")->currentText(), QString("COM3"));
        // WHEN the operator enters 200 on COM20 at 9600 and presses OK
        auto* address = dialog.findChild<QLineEdit*>("addressField");
        address->clear();
        QTest::keyClicks(address, "200");
        dialog.findChild<QComboBox*>("portSelector")->setCurrentText("COM20");
        dialog.findChild<QComboBox*>("baudSelector")->setCurrentText("9600");
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        // THEN the dialog is accepted with those values and nothing was said
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.values(), (Rs485ConnectValues{200, "COM20", "9600"}));
        QVERIFY(prompter.shown().empty());
    }

    void rs485DialogKeepsThePreviousValuesForTextThatIsNoAddress_data() {
        QTest::addColumn<QString>("entered");
        QTest::newRow("too large") << "256";
        QTest::newRow("empty") << "";
    }
    void rs485DialogKeepsThePreviousValuesForTextThatIsNoAddress() {
        QFETCH(QString, entered);
        // GIVEN the RS485 connect dialog with address 12 on COM3 at 38400 from before
        ScriptedPrompter prompter;
        RS485FindDevice dialog(Rs485ConnectValues{12, "COM3", "38400"}, prompter, nullptr);
        dialog.show();
        auto* address = dialog.findChild<QLineEdit*>("addressField");
        // WHEN the operator enters a value that is no address, picks COM5 and presses OK
        address->clear();
        QTest::keyClicks(address, entered);
        dialog.findChild<QComboBox*>("portSelector")->setCurrentText("COM5");
        QTest::mouseClick(dialog.findChild<QPushButton*>("okButton"), Qt::LeftButton);
        // THEN the range message shows and the search goes on with the previous values
        QCOMPARE(prompter.texts(), std::vector<std::string>{"Please enter an integer between 0 and 255."});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.values(), (Rs485ConnectValues{12, "COM3", "38400"}));
    }

    void everyToolButtonOpensItsWindowModally() {
        // GIVEN a transmitter with an output module, found and accepted
        UiRig rig;
        rig.findDevice(3, "440D");
        ToolWindows tools(rig.comm, rig.store, rig.ports, rig.shared, rig.prompter, rig.files);
        const std::pair<ToolWindow, QString> windows[] = {{ToolWindow::MeasurementConfiguration, "Configuration"},
                                                          {ToolWindow::AnalogOutput, "Analog"},
                                                          {ToolWindow::FieldRecalibration, "Calibration"},
                                                          {ToolWindow::DeviceInfo, "Transmitter Information"},
                                                          {ToolWindow::DataLogUtility, "Datalog Utility"}};
        for (const auto& [tool, title] : windows) {
            // WHEN its button's window opens, THEN it is the tool's window, and it closes
            QString opened;
            WhenModalOpens([&opened](QWidget* window) {
                opened = window->windowTitle();
                window->close();
            });
            tools.open(tool, nullptr);
            QCOMPARE(opened, title);
        }
    }

    void protocolTraceGoesToItsLoggingCategoryWhenSwitchedOn() {
        // GIVEN the trace sink of the utility, with a message handler that keeps what it logs
        static QStringList logged;
        logged.clear();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext& context, const QString& text) {
                if (QString(context.category) == "corvel.link") logged << text;
            });
        const TraceSink sink = LinkTraceToLog();
        const std::uint8_t request[] = {0x80, 0x01, 0x00};
        // WHEN bytes pass while the category is off, and again once it is switched on
        sink(TraceDirection::Out, request, std::chrono::steady_clock::now());
        QLoggingCategory::setFilterRules("corvel.link.debug=true");
        sink(TraceDirection::Out, request, std::chrono::steady_clock::now());
        QLoggingCategory::setFilterRules("");
        qInstallMessageHandler(previous);
        // THEN only the second pass is logged, as one trace line
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged[0].endsWith(" > 80 01 00"));
    }

    void mainWindowPicture() {
        // GIVEN a dual-input transmitter accepted over RS485, so every control shows
        UiRig rig;
        rig.attach(2, *sim::ModelConfig("4402"));
        auto window = rig.openWindow();
        rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{40, "COM2", "19200"});
        rig.prompter.answer({MessageAnswer::Yes, MessageAnswer::Yes});
        Click(window.get(), "rs485Radio");
        Click(window.get(), "findDeviceButton");
        QVERIFY(Shown(window.get(), "setNewAddressButton"));
        window->setStatusNote("demo: simulated transmitter on COM2");
        // WHEN the window is drawn offscreen
        const QString folder = CORVEL_SCREENSHOT_DIR;
        QVERIFY(QDir().mkpath(folder));
        const QImage picture = window->grab().toImage();
        // THEN the picture is saved for a look, at a sensible size, and no caption is cut
        QVERIFY(picture.save(folder + "/main_window.png"));
        QVERIFY(picture.width() > 300 && picture.width() < 1200);
        QVERIFY(picture.height() > 200 && picture.height() < 900);
        const QString cut = CutCaptions(window.get());
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        // AND the same holds for the dialogs
        const auto showAndSave = [&folder](QWidget& dialog, const QString& fileName) {
            dialog.show();
            const QString cutInDialog = CutCaptions(&dialog);
            QVERIFY2(cutInDialog.isEmpty(), qPrintable(fileName + ": " + cutInDialog));
            QVERIFY(dialog.grab().save(folder + "/" + fileName));
        };
        RS485FindDevice rs485(Rs485ConnectValues{}, rig.prompter, nullptr);
        showAndSave(rs485, "rs485_find_device.png");
        RS232FindDevice rs232(Rs232ConnectValues{}, nullptr);
        showAndSave(rs232, "rs232_find_device.png");
        CAboutDlg about(window.get());
        showAndSave(about, "about_box.png");
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
