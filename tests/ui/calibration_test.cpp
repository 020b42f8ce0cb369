// The Calibration window against the simulator's recalibration: the guided
// three-point walk, the point status table, the live loops, zero and the
// restore of the factory calibration.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/tools/calibration/calibration_view.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

constexpr MessageAnswer Yes = MessageAnswer::Yes;
constexpr MessageAnswer No = MessageAnswer::No;

// A window host without widgets: counts the turns of the live loops, and the
// operator "clicks into Apply" on the turn given.
class FakeWindowHost final : public WindowHost {
public:
    void processEvents() override {
        ++turns;
        if (onTurn) onTurn(turns);
    }
    std::function<void(int)> onTurn;
    int turns = 0;
};

struct OpenCalibration {
    explicit OpenCalibration(const char* modelCode = "4402")
        : device(rig.findDevice(3, modelCode)), model(rig.toolContext(), host) {
        model.open();
        // The operator clicks into "Apply" on the third turn of every live loop.
        host.onTurn = [this](int) {
            if (++loopTurns % 3 == 0) model.applyFocused();
        };
    }
    UiRig rig;
    sim::SimDevice& device;
    FakeWindowHost host;
    CalibrationModel model;
    int loopTurns = 0;
};

// The operator clicks into "Apply" after a few turns of the event loop (it is
// enabled after the first reading of Start Recal).
void ClickIntoApplySoon(QLineEdit* apply, int turns = 20) {
    if (turns > 0) {
        QTimer::singleShot(0, [=] { ClickIntoApplySoon(apply, turns - 1); });
        return;
    }
    apply->clearFocus();
    apply->setFocus();
    QTest::mouseClick(apply, Qt::LeftButton);
}

}  // namespace

class CalibrationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aThreePointRecalibrationFromStartToFinish() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        QVERIFY(!model.state().applyEnabled);
        // WHEN the technician starts, and saves each point at the pressure asked for
        model.startRecal();
        QVERIFY(model.state().applyEnabled);
        QCOMPARE(model.state().numberOfPoints, 3);
        QCOMPARE(model.state().currentPoint, 1);
        model.savePoint();
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Point Saved      "});
        model.nextPoint();
        QCOMPARE(model.state().currentPoint, 2);
        model.savePoint();
        model.nextPoint();
        model.savePoint();
        // THEN the last save says so and stops the live reading
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{"Point Saved      ", "Point Saved      ",
                                           "Calibration Successful      \n Click 'Finish Recal' to save and enable"}));
        QCOMPARE(rig.prompter.shown().back().icon, MessageIcon::Information);
        QCOMPARE(model.savedPoints(), 3);
        QVERIFY(model.stopRequested());
        model.finishRecal();
        QCOMPARE(rig.prompter.texts().size(), std::size_t{3});
        // AND a new Start Recal shows live readings again
        const int before = host.turns;
        model.startRecal();
        QVERIFY(host.turns - before >= 3);
        QCOMPARE(model.savedPoints(), 0);
    }

    void aRejectedSaveIsNotCounted() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        model.startRecal();
        // Within the sensor's limits but outside the point's window: 66, told, not counted
        model.takeApplyText("50");
        model.savePoint();
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Point out of range"});
        QCOMPARE(rig.prompter.shown().back().caption, std::string("Error"));
        QCOMPARE(model.savedPoints(), 0);
        // Out of sequence, with no recalibration running: 70, not told after Save Point
        OpenCalibration idle;
        idle.model.savePoint();
        QCOMPARE(idle.model.savedPoints(), 0);
        QVERIFY(idle.rig.prompter.shown().empty());
        QCOMPARE(idle.model.session().p1.statusCode, 70);
    }

    void aFailedExchangeCountsNoPointAndShowsTheLinkText() {
        // GIVEN no reply, or a damaged one, to Save Point
        for (const bool silent : {true, false}) {
            OpenCalibration open;
            auto& [rig, device, host, model, turns] = open;
            model.startRecal();
            device.faults.silent = silent;
            device.faults.corruptReplyCrc = !silent;
            model.savePoint();
            const std::string linkText = model.session().statusText;
            QVERIFY(!linkText.empty());
            QCOMPARE(rig.prompter.texts(), std::vector<std::string>{linkText});
            QCOMPARE(model.state().statusText, linkText);
            QCOMPARE(model.savedPoints(), 0);
        }
    }

    void refusedOrFailedStepsSayWhat() {
        struct Row {
            bool locked;  // against recalibration
            bool silent;
            bool restore;  // else Start Recal
            const char* report;  // nullptr: the link's status text
        };
        const Row rows[] = {
            {false, false, true, "Device restored to factory defaults"},
            {true, false, true, "Recal not allowed"},
            {false, true, true, nullptr},
            {true, false, false, "Recal not allowed"},
        };
        for (const Row& row : rows) {
            OpenCalibration open;
            auto& [rig, device, host, model, turns] = open;
            device.recalibration(sim::Channel::P1).setup().allowed = !row.locked;
            device.faults.silent = row.silent;
            std::vector<std::string> expected;
            if (row.restore) {
                rig.prompter.answer({Yes});
                model.restoreFactoryDefaults();
                expected.push_back("Restore to Factory Defaults?           ");
            } else {
                model.startRecal();
            }
            expected.push_back(row.report ? row.report : model.session().statusText);
            QCOMPARE(rig.prompter.texts(), expected);
        }
    }

    void nextPointTellsEachOverRangeOnce() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        // GIVEN no recalibration running, and the reading's status changing from turn to turn
        const std::uint8_t statusOnTurn[] = {33, 33, 34, 32, 35, 0};
        host.onTurn = [&](int turn) {
            device.live(sim::Channel::P1).status = statusOnTurn[turn - 1];
            if (turn == 6) model.applyFocused();
        };
        model.nextPoint();
        // THEN the step's own refusal, then one box per over-range code as it appears
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Recal command out of sequence", "Meas hard over range",
                                                                 "Temp soft over range", "Temp hard over range"}));
        for (const Message& box : rig.prompter.shown()) QCOMPARE(box.caption, std::string("Error"));
    }

    void closeReadsP1OnceMore() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        model.startRecal();
        const std::string before = model.state().readingText;
        std::vector<std::vector<std::uint8_t>> requests;
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            requests.emplace_back(request.begin(), request.end());
            return false;
        };
        device.live(sim::Channel::P1).behaviour().value += 7.0f;
        model.close();
        QVERIFY(model.stopRequested());
        QCOMPARE(requests.size(), std::size_t{1});
        QCOMPARE(requests[0][offset::kCommand1], kClassMeasurements);
        QCOMPARE(requests[0][offset::kCommand2], std::uint8_t{0x10});
        QVERIFY(model.state().readingText != before);
    }

    void restoreAnsweredNoLeavesTheLoopEnded() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        // GIVEN Start Recal's live loop, in which the operator presses Restore and answers No
        host.onTurn = [&](int turn) {
            if (turn == 2) {
                rig.prompter.answer({No});
                model.restoreFactoryDefaults();
            }
            QVERIFY(turn <= 2);
        };
        model.startRecal();
        // THEN the loop ended after that turn and the stop request stays
        QCOMPARE(host.turns, 2);
        QVERIFY(model.stopRequested());
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Restore to Factory Defaults?           "});
    }

    void calExpiredShowsOneBoxNotOnePerPass() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        device.live(sim::Channel::P1).status = 20;
        host.onTurn = [&](int turn) {
            if (turn == 6) device.live(sim::Channel::P1).status = 0;
            if (turn == 8) device.live(sim::Channel::P1).status = 20;
            if (turn == 12) model.applyFocused();  // Stop still works
        };
        model.startRecal();
        QCOMPARE(host.turns, 12);
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Cal expired", "Cal expired"}));
    }

    void theReadingTableColoursTheReading() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        device.live(sim::Channel::P1).status = 33;
        model.startRecal();
        QCOMPARE(model.state().statusText, std::string("Meas hard over range"));
        QVERIFY(model.state().readingAlarm);
        device.live(sim::Channel::P1).status = 0;
        model.startRecal();
        QCOMPARE(model.state().statusText, std::string());
        QVERIFY(!model.state().readingAlarm);
    }

    void aReadingThatDidNotComeShowsAsDashes() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        host.onTurn = [&](int turn) {
            if (turn == 2) device.faults.silent = true;
            if (turn == 4) model.applyFocused();
        };
        model.startRecal();
        QCOMPARE(model.state().readingText, std::string("------"));
        QVERIFY(model.state().statusText.starts_with("SerialTransact failed"));
    }

    void zeroReportsItsResult() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        rig.prompter.answer({Yes});
        model.zero();
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{"Equalize and or vent to atmosphere as appropriate", "Too far from zero         "}));
        rig.prompter.answer({No});
        const int before = static_cast<int>(rig.ports.created);
        model.zero();
        QCOMPARE(static_cast<int>(rig.ports.created), before);
    }

    void theWindowStopsItsLoopWhenTheOperatorClicksIntoApply() {
        // GIVEN the window
        UiRig rig;
        rig.findDevice(3, "4402");
        cCalibration window(rig.toolContext());
        window.show();
        QVERIFY(!Enabled(&window, "applyEdit"));
        // WHEN Start Recal runs and the operator clicks into "Apply" after a few readings
        ClickIntoApplySoon(window.findChild<QLineEdit*>("applyEdit"));
        Click(&window, "startRecalButton");
        // THEN the loop ended, "Apply" can be typed into, and the fields show the point
        QVERIFY(Enabled(&window, "applyEdit"));
        QCOMPARE(window.findChild<QLineEdit*>("numberOfPointsField")->text(), QString("3"));
        QVERIFY(!window.findChild<QLineEdit*>("readingField")->text().isEmpty());
        // AND no caption is cut
        const QString cut = CutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        const QString misleading = MisleadingFields(&window);
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/calibration_window.png"));
    }

    void aNewPointShowsInApplyWhileItHasTheFocus() {
        UiRig rig;
        rig.findDevice(3, "4402");
        cCalibration window(rig.toolContext());
        window.show();
        auto* apply = window.findChild<QLineEdit*>("applyEdit");
        // GIVEN point 1 saved, and the operator typing into "Apply"
        ClickIntoApplySoon(apply);
        Click(&window, "startRecalButton");
        window.findChild<QPushButton*>("savePointButton")->click();
        apply->setText("12");
        QVERIFY(apply->hasFocus());
        // WHEN Next Point runs while "Apply" keeps the focus (a click into it ends the loop)
        ClickIntoApplySoon(apply);
        window.findChild<QPushButton*>("nextPointButton")->click();
        // THEN "Apply" shows the transmitter's value for point 2
        QCOMPARE(window.model().state().currentPoint, 2);
        QCOMPARE(apply->text().toStdString(), window.model().state().applyText);
    }
};

QTEST_MAIN(CalibrationTest)
#include "calibration_test.moc"
