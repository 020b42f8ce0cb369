// The main window without a search: what opening it does, the interface
// choice, the tool buttons, Reflash Firmware, Exit, the user guide and the About box.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "sim/device_config.h"
#include "ui/support/qt_launcher.h"
#include "ui/support/qt_stored_settings.h"
#include "app/startup.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

class MainWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsItsCaptionsAndStartsWithOnlyTheDataLogToolOn() {
        // GIVEN a first start
        UiRig rig;
        // WHEN the main window opens
        auto window = rig.openWindow();
        // THEN it carries its title, captions and footer
        QCOMPARE(window->windowTitle(), QString("Corvel Setup Utility"));
        QStringList captions;
        for (auto* button : window->findChildren<QAbstractButton*>()) captions << button->text();
        for (const char* caption : {"Measurement/Configuration", "Analog Output", "Device Info", "Field Recalibration",
                                    "Reflash Firmware", "Data Log Utility", "USB", "RS232", "RS485", "Find Device",
                                    "Set New Address", "Exit"}) {
            QVERIFY2(captions.contains(caption), caption);
        }
        QCOMPARE(window->findChild<QLabel*>("footer")->text(), QString("Corvel Setup Utility 1.1"));
        // AND its icon is the application's own, up to the desktop's largest size
        QVERIFY(window->windowIcon().availableSizes().contains(QSize(256, 256)));
        // AND only "Data Log Utility", "Find Device", "Exit" and the interface choices react
        QVERIFY(!Enabled(window.get(), "measurementConfigurationButton"));
        QVERIFY(!Enabled(window.get(), "analogOutputButton"));
        QVERIFY(!Enabled(window.get(), "fieldRecalibrationButton"));
        QVERIFY(!Enabled(window.get(), "deviceInfoButton"));
        QVERIFY(!Enabled(window.get(), "reflashFirmwareButton"));
        QVERIFY(Enabled(window.get(), "dataLogUtilityButton"));
        QVERIFY(!Shown(window.get(), "setNewAddressButton"));
        QVERIFY(!Enabled(window.get(), "setNewAddressButton"));
        QVERIFY(window->findChild<QRadioButton*>("usbRadio")->isChecked());
        // AND the address field shows 40, read-only
        auto* address = window->findChild<QLineEdit*>("addressField");
        QCOMPARE(address->text(), QString("40"));
        QVERIFY(address->isReadOnly());
        QVERIFY(rig.prompter.shown().empty());
        // AND replies that fail their check are refused until the operator chooses otherwise
        QVERIFY(!window->findChild<QAction*>("acceptDamagedRepliesAction")->isChecked());
    }

    void openingResetsThePortAndRateOfAnEarlierRun() {
        // GIVEN a store left by an earlier run with COM7 at 9600 baud and the reflash flag set
        UiRig rig;
        rig.store.write(key::kPort, "COM7");
        rig.store.write(key::kBaudRate, "9600");
        rig.store.write(key::kFromCSU, "1");
        // WHEN the utility starts and the main window opens
        auto window = rig.openWindow();
        // THEN the store and the settings hold COM1 at 115200, and the flag is cleared
        QCOMPARE(rig.store.read(key::kPort, ""), std::string("COM1"));
        QCOMPARE(rig.store.read(key::kBaudRate, ""), std::string("115200"));
        QCOMPARE(rig.store.read(key::kFromCSU, ""), std::string("0"));
        QCOMPARE(rig.comm.portName, std::string("COM1"));
        QCOMPARE(rig.comm.baudRate, 115200u);
        QCOMPARE(rig.comm.portSelectorText, std::string("COM1"));
        QCOMPARE(rig.comm.baudSelectorText, std::string("115200"));
        QCOMPARE(window->state().sourceNetwork, std::uint8_t{1});
    }

    void rs485ThenUsbStoresTheRs485RateButUsbSearchesAt115200() {
        // GIVEN the window opened, and a transmitter that the operator will decline
        UiRig rig;
        rig.attach(1, *sim::ModelConfig("4400"));
        auto window = rig.openWindow();
        // WHEN the operator chooses RS485 and then USB
        Click(window.get(), "rs485Radio");
        Click(window.get(), "usbRadio");
        // THEN the store holds the rate the selector showed before the USB choice
        QCOMPARE(rig.store.read(key::kBaudRate, ""), std::string("19200"));
        QCOMPARE(rig.comm.lineInterface, LineInterface::Usb);
        // AND a following USB search still talks at 115200 baud
        rig.prompter.answer({MessageAnswer::No});
        Click(window.get(), "findDeviceButton");
        QVERIFY(!rig.ports.baudRates.empty());
        for (std::uint32_t rate : rig.ports.baudRates) QCOMPARE(rate, 115200u);
    }

    void everyModelCanBeFoundForTheToolWindowTests() {
        for (const char* model : {"4400", "4402", "440D", "Q710", "Q712"}) {
            // GIVEN a transmitter found and accepted over USB
            UiRig rig;
            rig.findDevice(3, model);
            // THEN the store names its port and the operator has no box left open
            QCOMPARE(rig.store.read(key::kPort, ""), std::string("COM3"));
            QVERIFY(rig.prompter.shown().empty());
        }
    }

    void toolButtonsOpenTheirWindows() {
        // GIVEN the window opened
        UiRig rig;
        auto window = rig.openWindow();
        // WHEN the operator presses "Data Log Utility"
        Click(window.get(), "dataLogUtilityButton");
        // THEN the data log utility window is opened, and nothing else
        QCOMPARE(rig.tools.opened.size(), std::size_t{1});
        QCOMPARE(rig.tools.opened.front(), ToolWindow::DataLogUtility);
    }

    void exitRunsTheExitSequenceWhichSendsNothingInTheNativeProtocol() {
        // GIVEN the window opened
        UiRig rig;
        auto window = rig.openWindow();
        const int portsBefore = rig.ports.created;
        // WHEN the operator presses Exit
        Click(window.get(), "exitButton");
        // THEN the window closes without a port being opened
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QVERIFY(!window->isVisible());
        QCOMPARE(rig.ports.created, portsBefore);
    }

    void escapeKeepsTheWindowAndItsFrameEndsTheUtilityAsExitDoes() {
        // GIVEN the window opened
        UiRig rig;
        auto window = rig.openWindow();
        const int exchanges = rig.ports.created;
        // WHEN the operator presses Escape, THEN the window stays
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(window->isVisible());
        // WHEN the window is closed by its frame, THEN it ends as Exit does (accepted, nothing sent)
        window->close();
        QVERIFY(!window->isVisible());
        QCOMPARE(window->result(), int(QDialog::Accepted));
        QCOMPARE(rig.ports.created, exchanges);
    }

    void enterInTheAddressFieldKeepsTheWindowOpen() {
        // GIVEN the window opened, the address field focused
        UiRig rig;
        auto window = rig.openWindow();
        auto* address = window->findChild<QLineEdit*>("addressField");
        address->setFocus();
        // WHEN the operator presses Enter there
        QTest::keyClick(address, Qt::Key_Return);
        QTest::keyClick(address, Qt::Key_Enter);
        // THEN no button was pressed and the utility is still open
        QVERIFY(window->isVisible());
        QCOMPARE(rig.ports.created, 0);
    }

    void aboutEntryOpensTheAboutBox() {
        // GIVEN the window opened
        UiRig rig;
        auto window = rig.openWindow();
        QString title;
        QStringList lines;
        WhenModalOpens([&](QWidget* about) {
            title = about->windowTitle();
            for (auto* label : about->findChildren<QLabel*>()) lines << label->text();
            QTest::mouseClick(about->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        });
        // WHEN the operator picks "&About Corvel Setup Utility..." from the window's menu
        auto* about = window->findChild<QAction*>("aboutAction");
        QCOMPARE(about->text(), QString("&About Corvel Setup Utility..."));
        about->trigger();
        // THEN the About box showed its title and version line
        QCOMPARE(title, QString("About Corvel Setup Utility"));
        QVERIFY(lines.contains("Corvel Setup Utility Version 1.1"));
        QVERIFY(window->actions().contains(about));
    }

    void userGuideEntryOpensTheGuidesIndex() {
        // GIVEN the window opened
        UiRig rig;
        auto window = rig.openWindow();
        // WHEN the operator picks "User guide" from the Help menu
        auto* userGuide = window->findChild<QAction*>("userGuideAction");
        QCOMPARE(userGuide->text(), QString("User guide"));
        userGuide->trigger();
        // THEN the guide's index, where the installation puts it, is handed to the browser
        QCOMPARE(rig.launcher.opened(), std::vector<std::string>{"../share/doc/corvel-setup/guide/index.html"});
        QVERIFY(rig.prompter.shown().empty());
    }

    void reflashWithTheToolMissingMarksTheStoreAndSaysWhereItLooked() {
        // GIVEN a window whose launcher looks for the real tool, which is not installed here
        UiRig rig;
        QtLauncher launcher;
        QVERIFY(QtLauncher::locate("ZR Reflash Utility.exe").isEmpty());
        RestoreCommSettings(rig.comm, rig.store);
        CT4400PCDialog window(UiContext{rig.comm, rig.store, rig.ports, rig.shared, rig.prompter, launcher, rig.tools,
                                        rig.connectDialogs, rig.files});
        // WHEN Reflash Firmware runs (its button is enabled by an accepted device; the action is the same)
        window.findChild<QPushButton*>("reflashFirmwareButton")->setEnabled(true);
        Click(&window, "reflashFirmwareButton");
        // THEN FromCSU = "1" is stored and a box names the tool, the folder looked in and PATH
        QCOMPARE(rig.store.read(key::kFromCSU, ""), std::string("1"));
        const std::string folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
        const Message missing{"The reflash tool \"ZR Reflash Utility.exe\" was not found beside corvel-setup (" +
                                  folder + ") or on PATH. It is installed separately.",
                              "Corvel Setup Utility", MessageIcon::Information};
        QVERIFY(rig.prompter.shown() == std::vector<Message>{missing});
    }

    void qtStoreKeepsTextsUnderSettings() {
        // GIVEN a user configuration folder of this test
        QTemporaryDir folder;
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
        {
            // WHEN values are written through the program's store
            QtStoredSettings store("corvel-setup");
            QCOMPARE(store.read(key::kPort, "COM1"), std::string("COM1"));
            QVERIFY(store.write(key::kPort, "COM12"));
            QVERIFY(store.write(key::kBaudRate, "9600"));
        }
        // THEN another store of the same program reads them back from the INI file of "Corvel"
        QtStoredSettings again("corvel-setup");
        QCOMPARE(again.read(key::kPort, "COM1"), std::string("COM12"));
        QCOMPARE(again.read(key::kBaudRate, "115200"), std::string("9600"));
        QVERIFY(again.fileName().startsWith(folder.path() + "/Corvel/corvel-setup"));
        QSettings file(again.fileName(), QSettings::IniFormat);
        QCOMPARE(file.value("Settings/Port").toString(), QString("COM12"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
