// Every window on the screen the run is given (see CMakeLists.txt: a 1366x768
// laptop, a 1920x1080 and a 1024x768 screen at 200 %): each fits the room
// less a panel and title bar or scrolls, no caption is cut, and no field
// misleads (read-only fields look read-only, numbers line up on the right).
// A picture of each is kept per screen.

#include <QDir>
#include <QScreen>
#include <QTest>
#include <functional>

#include "tests/ui/ui_test_rig.h"
#include "ui/main/about_dlg.h"
#include "ui/main/rs232_find_device.h"
#include "ui/main/rs485_find_device.h"
#include "ui/tools/analog_output/analog_output_view.h"
#include "ui/tools/calibration/calibration_view.h"
#include "ui/tools/data_log/data_log_view.h"
#include "ui/tools/measurement/measurement_view.h"
#include "ui/tools/transmitter_info/transmitter_info_view.h"

namespace corvel::testing {
namespace {

using OpenWindow = std::function<std::unique_ptr<QWidget>(UiRig&)>;

// The main window with every control shown: a transmitter accepted over RS485.
std::unique_ptr<QWidget> MainWindow(UiRig& rig) {
    rig.attach(2, "4402");
    auto window = rig.openWindow();
    rig.connectDialogs.rs485Answers.push_back(Rs485ConnectValues{40, "COM2", "19200"});
    rig.prompter.answer({MessageAnswer::Yes, MessageAnswer::Yes});
    Click(window.get(), "rs485Radio");
    Click(window.get(), "findDeviceButton");
    window->setStatusNote("demo: simulated transmitter on COM2");
    return window;
}

template <typename Window>
OpenWindow ToolWindowOf(const char* model) {
    return [model](UiRig& rig) -> std::unique_ptr<QWidget> {
        rig.findDevice(3, model);
        return std::make_unique<Window>(rig.toolContext());
    };
}

std::unique_ptr<QWidget> AnalogOutputWindow(UiRig& rig) {
    rig.findDevice(3, "440D");
    return std::make_unique<AnalogOutput>(rig.toolContext(), nullptr, [](std::chrono::milliseconds) {});
}

std::unique_ptr<QWidget> DataLogWindow(UiRig& rig) {
    rig.findDevice(3, "Q712");
    auto window = std::make_unique<cDataFileConversion>(rig.toolContext(), nullptr);
    window->show();
    Click(window.get(), "instrumentRadio");
    return window;
}

struct WindowRow {
    const char* name;
    OpenWindow open;
};

const WindowRow kWindows[] = {
    {"main", MainWindow},
    {"rs232_find_device", [](UiRig&) -> std::unique_ptr<QWidget> {
         return std::make_unique<RS232FindDevice>(Rs232ConnectValues{}, nullptr);
     }},
    {"rs485_find_device", [](UiRig& rig) -> std::unique_ptr<QWidget> {
         return std::make_unique<RS485FindDevice>(Rs485ConnectValues{}, rig.prompter, nullptr);
     }},
    {"about", [](UiRig&) -> std::unique_ptr<QWidget> { return std::make_unique<CAboutDlg>(nullptr); }},
    {"measurement_configuration", ToolWindowOf<cConfigDlg>("4402")},
    {"analog_output", AnalogOutputWindow},
    {"field_recalibration", ToolWindowOf<cCalibration>("4402")},
    {"transmitter_information", ToolWindowOf<XmtrInfo>("4402")},
    {"datalog_utility", DataLogWindow},
};

// "1366x768" or "1920x1080 at 200 %": the screen the run was given.
QString ScreenName(const QScreen* screen) {
    const double scale = screen->devicePixelRatio();
    const QSize pixels = screen->geometry().size() * scale;
    const QString name = QString("%1x%2").arg(pixels.width()).arg(pixels.height());
    return scale == 1 ? name : name + QString("_at_%1_percent").arg(qRound(scale * 100));
}

}  // namespace

class ScreenFitTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void everyWindowFitsTheScreen_data() {
        QTest::addColumn<int>("row");
        for (int row = 0; row < int(std::size(kWindows)); ++row) QTest::newRow(kWindows[row].name) << row;
    }

    void everyWindowFitsTheScreen() {
        QFETCH(int, row);
        // GIVEN the window opened as a technician opens it
        UiRig rig;
        const std::unique_ptr<QWidget> window = kWindows[row].open(rig);
        // WHEN it is shown on the screen of this run
        window->show();
        // THEN every control lies within the screen's room or scrolls, no caption is cut
        // and no field misleads
        const QString beyond = BeyondTheScreen(window.get());
        QVERIFY2(beyond.isEmpty(), qPrintable(beyond));
        const QString cut = CutCaptions(window.get());
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        const QString misleading = MisleadingFields(window.get());
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
        const QString folder = QString(CORVEL_SCREENSHOT_DIR) + "/screen_" + ScreenName(window->screen());
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(window->grab().save(folder + "/" + kWindows[row].name + ".png"));
    }
};

}  // namespace corvel::testing

QTEST_MAIN(corvel::testing::ScreenFitTest)
#include "screen_fit_test.moc"
