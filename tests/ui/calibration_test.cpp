// The Calibration window against the simulator's recalibration: the guided
// three-point walk, the point status table, the live loops, zero and the
// restore of the factory calibration.
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "calibration_dialog.h"
#include "ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

constexpr MessageAnswer Yes = MessageAnswer::Yes;
constexpr MessageAnswer No = MessageAnswer::No;

// A window host without widgets: counts the turns of the live loops, and the
// operator "clicks into Apply" on the turn given.
class FakeLoopHost final : public LoopHost {
public:
    void showValues() override {}
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
    FakeLoopHost host;
    CalibrationModel model;
    int loopTurns = 0;
};

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
        QCOMPARE(rig.prompter.texts().back(), std::string("Point Saved      "));
        model.nextPoint();
        QCOMPARE(model.state().currentPoint, 2);
        model.savePoint();
        model.nextPoint();
        model.savePoint();
        // THEN the last save says so and stops the live reading
        QCOMPARE(rig.prompter.texts().back(),
                 std::string("Calibration Successful      \n Click 'Finish Recal' to save and enable"));
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
        QCOMPARE(rig.prompter.texts().back(), std::string("Point out of range"));
        QCOMPARE(rig.prompter.shown().back().caption, std::string("Error"));
        QCOMPARE(model.savedPoints(), 0);
        // Out of sequence, with no recalibration running: 70, not told after Save Point
        OpenCalibration idle;
        idle.model.savePoint();
        QCOMPARE(idle.model.savedPoints(), 0);
        QVERIFY(idle.rig.prompter.shown().empty());
        QCOMPARE(idle.model.session().p1.statusCode, 70);
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
        QCOMPARE(rig.prompter.texts().back(), std::string("Restore to Factory Defaults?           "));
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

    void zeroReportsItsResult() {
        OpenCalibration open;
        auto& [rig, device, host, model, turns] = open;
        rig.prompter.answer({Yes});
        model.zero();
        QCOMPARE(rig.prompter.texts().back(), std::string("Too far from zero         "));
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
        int polls = 0;
        std::function<void()> clickApply = [&] {
            if (++polls < 20) {
                QTimer::singleShot(0, clickApply);
                return;
            }
            window.findChild<QLineEdit*>("applyEdit")->setFocus();
            QTest::mouseClick(window.findChild<QLineEdit*>("applyEdit"), Qt::LeftButton);
        };
        QTimer::singleShot(0, clickApply);
        Click(&window, "startRecalButton");
        // THEN the loop ended, "Apply" can be typed into, and the fields show the point
        QVERIFY(Enabled(&window, "applyEdit"));
        QCOMPARE(window.findChild<QLineEdit*>("numberOfPointsField")->text(), QString("3"));
        QVERIFY(!window.findChild<QLineEdit*>("readingField")->text().isEmpty());
        // AND no caption is cut
        const QString cut = CutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/calibration_window.png"));
    }
};

QTEST_MAIN(CalibrationTest)
#include "calibration_test.moc"
