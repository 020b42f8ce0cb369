// The Analog Output window against the simulated 440D: what opening reads
// and corrects, the handlers, Save Values as the transmitter sees it, Reset
// Defaults, Field Recal and Close.
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <clocale>
#include <cstdio>

#include "ui/tools/analog_output/analog_output_view.h"
#include "link/reading_status.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

constexpr MessageAnswer Yes = MessageAnswer::Yes;
constexpr MessageAnswer No = MessageAnswer::No;
constexpr std::uint32_t B = 0x3100;  // the simulator's live alarm block
constexpr std::uint32_t D = 0x3200;  // and its factory-default block
constexpr std::uint8_t kOutput = 0x43;
constexpr std::uint8_t kPressure = 0x40;

void NoPause(std::chrono::milliseconds) {}

// One request as "read 43:3180" or "write 40:2830" (module, address) for the
// memory, as "06 90 40" (class, command byte 2, module) for the others.
std::string Describe(ByteSpan request) {
    const std::uint8_t module = request[offset::kPayload + request[offset::kPayloadLength] + 5];
    char text[32];
    if (request[offset::kCommand1] == kClassMemory) {
        std::snprintf(text, sizeof text, "%s %02X:%04X", request[offset::kCommand2] == 0x88 ? "write" : "read",
                      module, static_cast<unsigned>(U32At(request, offset::kPayload + 2)));
    } else {
        std::snprintf(text, sizeof text, "%02X %02X %02X", request[offset::kCommand1], request[offset::kCommand2],
                      module);
    }
    return text;
}

std::string At(const char* operation, std::uint8_t module, std::uint32_t address) {
    char text[32];
    std::snprintf(text, sizeof text, "%s %02X:%04X", operation, module, static_cast<unsigned>(address));
    return text;
}

// The requests that reach the simulator, in order.
struct RequestLog {
    explicit RequestLog(UiRig& rig) {
        rig.ports.loseReplyTo = [this](ByteSpan request) {
            requests.push_back(Describe(request));
            return false;
        };
    }
    int writes() const {
        return static_cast<int>(
            std::count_if(requests.begin(), requests.end(), [](const std::string& r) { return r.starts_with("write"); }));
    }
    std::vector<std::string> requests;
};

// The ten field texts the model shows.
std::array<std::string, kAoFieldCount> ShownTexts(const AnalogOutputModel& model) {
    std::array<std::string, kAoFieldCount> texts;
    for (std::size_t i = 0; i < kAoFieldCount; ++i) texts[i] = ShownText(model.state(), static_cast<AoField>(i));
    return texts;
}

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    if (!child) qFatal("no child named %s", name);
    return child;
}

// Types `text` into the field as the operator does and leaves it.
void Type(QWidget* window, const char* name, const QString& text) {
    auto* field = Child<QLineEdit>(window, name);
    field->setText(text);
    Q_EMIT field->editingFinished();
}

}  // namespace

class AnalogOutputTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensWithTheRangeOutputAndAlarms() {
        // GIVEN a 440D with an output module
        UiRig rig;
        rig.findDevice(3, "440D");
        // WHEN the window opens
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        // THEN it shows the limits, the range, volts 0-5 and both alarms inactive
        QCOMPARE(window.windowTitle(), QString("Analog"));
        QCOMPARE(Child<QGroupBox>(&window, "pressureGroup")->title(), QString("Pressure (PSI)"));
        QCOMPARE(Child<QLineEdit>(&window, "uslField")->text().toDouble(), 100.0);
        QCOMPARE(Child<QLineEdit>(&window, "urvEdit")->text().toDouble(), 100.0);
        QCOMPARE(Child<QLineEdit>(&window, "aoUrvEdit")->text(), QString("5.00"));
        QVERIFY(Child<QRadioButton>(&window, "voltsRadio")->isChecked());
        QCOMPARE(Child<QLabel>(&window, "alarmLevel")->text(), QString("22.50"));
        QCOMPARE(Child<QGroupBox>(&window, "alarm1Group")->title(), QString("Digital Output 1 (PSI)"));
        QVERIFY(Child<QRadioButton>(&window, "alarm1Inactive")->isChecked());
        QVERIFY(!Child<QLineEdit>(&window, "alarm1Value1")->isVisible());
        QVERIFY(rig.prompter.shown().empty());
        QVERIFY(!window.model().valuesEdited());
        // AND no caption is cut
        const QString cut = CutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        const QString misleading = MisleadingFields(&window);
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/analog_output_window.png"));
    }

    void openingCorrectsTheRangeAsTheRulesSay() {
        // GIVEN URV 0 and LRV 0.0001 below LSL
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kPressure).putF32(0x2834, 0.0f);
        device.memory(kPressure).putF32(0x2830, -0.0001f);
        // WHEN the window opens
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        // THEN URV 100.0 was written back without a box, and LRV snapped silently
        QCOMPARE(device.memory(kPressure).f32(0x2834), 100.0f);
        QCOMPARE(device.memory(kPressure).f32(0x2830), -0.0001f);
        QCOMPARE(window.model().settings().urv, 100.0f);
        QCOMPARE(window.model().settings().lrv, 0.0f);
        QVERIFY(rig.prompter.shown().empty());

        // GIVEN LRV 0.001 below LSL: the message and a write
        device.memory(kPressure).putF32(0x2830, -0.001f);
        AnalogOutput again(rig.toolContext(), nullptr, NoPause);
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"LRV value less than LSL.  Saving corrected value to device"});
        QCOMPARE(device.memory(kPressure).f32(0x2830), 0.0f);
    }

    void aLostRangeReplyEndsTheOpeningWithoutCorrecting() {
        // GIVEN a transmitter whose reply to the read of URV (pressure module, 0x2834) is lost
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        int memoryWrites = 0;
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            if (request[offset::kCommand1] != kClassMemory) return false;
            if (request[offset::kCommand2] == 0x88) ++memoryWrites;
            const std::size_t payload = offset::kPayload;
            const std::size_t module = payload + request[offset::kPayloadLength] + 5;
            return request[offset::kCommand2] != 0x88 && request[payload + 2] == 0x34 &&
                   request[payload + 3] == 0x28 && request[module] == kPressure;
        };
        // WHEN the window opens
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        // THEN the read error ends the opening, and nothing is "corrected" on the transmitter
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Device read error         "});
        QCOMPARE(memoryWrites, 0);
        QCOMPARE(device.memory(kPressure).f32(0x2834), 100.0f);
    }

    void aConditionCodeOutsideTheListShowsItsNumberAsThePosition() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kOutput).putU8(B + 128, kAlarmClosed);
        device.memory(kOutput).putU8(B + 130, 3);
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        QCOMPARE(Child<QComboBox>(&window, "alarm1Condition")->currentIndex(), 3);
        QCOMPARE(Child<QLabel>(&window, "alarm1Value1Label")->text(), QString("Value"));
        QVERIFY(!Child<QLineEdit>(&window, "alarm1Value2")->isVisible());
    }

    void anUnknownContactStateReadsAsInactiveAndClosedStartsTheListAtItsFirstEntry() {
        // GIVEN alarm 1 in contact state 2 with condition code 9, outside the list
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kOutput).putU8(B + 128, 2);
        device.memory(kOutput).putU8(B + 130, 9);
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        // THEN it shows as Inactive, its controls hidden
        QVERIFY(Child<QRadioButton>(&window, "alarm1Inactive")->isChecked());
        QVERIFY(!Child<QComboBox>(&window, "alarm1Condition")->isVisible());
        QVERIFY(!Child<QLineEdit>(&window, "alarm1Value1")->isVisible());
        // WHEN the operator chooses Closed
        Child<QRadioButton>(&window, "alarm1Closed")->click();
        // THEN the list starts at "Between" with both values shown
        QCOMPARE(Child<QComboBox>(&window, "alarm1Condition")->currentIndex(), 0);
        QCOMPARE(Child<QLabel>(&window, "alarm1Value1Label")->text(), QString("Lower Value"));
        QVERIFY(Child<QLineEdit>(&window, "alarm1Value2")->isVisible());
    }

    void handlersChangeNothingOnTheTransmitter() {
        // GIVEN an open window and a count of memory writes
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kOutput).putU8(B + 128, kAlarmClosed);
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        RequestLog log(rig);
        // WHEN the output type is switched to current and back
        Click(&window, "currentRadio");
        QCOMPARE(Child<QLineEdit>(&window, "aoUrvEdit")->text(), QString("20.00"));
        QCOMPARE(Child<QGroupBox>(&window, "outputGroup")->title(), QString("Output (mA)"));
        Click(&window, "voltsRadio");
        // AND "Closed" is chosen for the alarm that is already closed
        Click(&window, "alarm1Closed");
        // THEN nothing was written and nothing counts as edited
        QCOMPARE(log.writes(), 0);
        QVERIFY(!window.model().valuesEdited());
        // WHEN the list of the closed alarm goes to "Greater Than", value 2 goes
        Child<QComboBox>(&window, "alarm1Condition")->setCurrentIndex(2);
        Q_EMIT Child<QComboBox>(&window, "alarm1Condition")->activated(2);
        QVERIFY(!Child<QLineEdit>(&window, "alarm1Value2")->isVisible());
        QVERIFY(window.model().valuesEdited());
    }

    void saveWritesEveryValueInTheTransmittersOrder() {
        // GIVEN an open window where the operator narrows the range and closes alarm 1
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        Type(&window, "lrvEdit", "20");
        Type(&window, "urvEdit", "70");
        Click(&window, "alarm1Closed");
        Type(&window, "alarm1Value1", "30");
        Type(&window, "alarm1Value2", "60");
        Type(&window, "alarm1Deadband", "5");
        // WHEN Save Values
        Click(&window, "saveValuesButton");
        // THEN the transmitter holds the range and the alarm in percent of span
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"All values valid and saved to device successfully"});
        QCOMPARE(rig.prompter.shown().back().caption, std::string("Values Saved"));
        QCOMPARE(device.memory(kPressure).f32(0x2830), 20.0f);
        QCOMPARE(device.memory(kPressure).f32(0x2834), 70.0f);
        QCOMPARE(device.memory(kOutput).u8(B + 128), kAlarmClosed);
        QCOMPARE(device.memory(kOutput).f32(B + 140), 20.0f);
        QCOMPARE(device.memory(kOutput).f32(B + 144), 80.0f);
        QCOMPARE(device.memory(kOutput).f32(B + 148), 10.0f);
        // AND the values come back when the window opens again
        AnalogOutput again(rig.toolContext(), nullptr, NoPause);
        QCOMPARE(again.model().settings().alarms[0].value2, 60.0f);
        QCOMPARE(again.model().settings().lrv, 20.0f);
    }

    void aFailedCheckWritesNothingAndSaysSoTwice() {
        // GIVEN alarm 1 "Between" typed high value first, and AO @ URV beyond 5 V
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kOutput).putU8(B + 128, kAlarmClosed);
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        RequestLog log(rig);
        Type(&window, "alarm1Value1", "60");
        Type(&window, "alarm1Value2", "30");
        Type(&window, "aoUrvEdit", "5.01");
        QString lowerShownAtTheBox;
        rig.prompter.onShow([&](const Message&) {
            if (lowerShownAtTheBox.isEmpty()) lowerShownAtTheBox = Child<QLineEdit>(&window, "alarm1Value1")->text();
        });
        Click(&window, "saveValuesButton");
        // THEN the swapped values were shown before the check's box, and nothing was written
        QCOMPARE(lowerShownAtTheBox.toDouble(), 30.0);
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"AO@URV too high- higher than 5V",
                                                                  "All values not valid.  No values were saved to device"}));
        QCOMPARE(log.writes(), 0);
        // Text that is no number is refused; it stays, selected, in its field
        rig.prompter.clear();
        Type(&window, "lrvEdit", "abc");
        Click(&window, "saveValuesButton");
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Please enter a number."}));
        QCOMPARE(Child<QLineEdit>(&window, "lrvEdit")->selectedText(), QString("abc"));
        QVERIFY(window.model().valuesEdited());
        QCOMPARE(log.writes(), 0);
    }

    void typedValuesSurviveEveryActionThatSavesNothing() {
        const struct {
            const char* button;
            MessageAnswer answer;
        } actions[] = {{"closeButton", MessageAnswer::Cancel}, {"zeroButton", Yes}, {"zeroButton", No},
                       {"resetDefaultsButton", No}};
        for (const auto& action : actions) {
            // GIVEN a URV typed into its field
            UiRig rig;
            sim::SimDevice& device = rig.findDevice(3, "440D");
            AnalogOutput window(rig.toolContext(), nullptr, NoPause);
            window.show();
            Type(&window, "urvEdit", "90");
            // WHEN the action is answered so that nothing is saved
            rig.prompter.answer({action.answer});
            Click(&window, action.button);
            // THEN the field still shows it, and Save Values writes it
            QCOMPARE(Child<QLineEdit>(&window, "urvEdit")->text().toDouble(), 90.0);
            Click(&window, "saveValuesButton");
            QVERIFY(!rig.prompter.texts().empty());
            QCOMPARE(rig.prompter.texts().back(), std::string("All values valid and saved to device successfully"));
            QCOMPARE(device.memory(kPressure).f32(0x2834), 90.0f);
            QCOMPARE(rig.prompter.unscriptedQuestions(), 0);
        }
    }

    void zeroAsksForP1AndTheTemperatureAndReportsALostReply() {
        // GIVEN a P1 reading near zero
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.live(sim::Channel::P1).calibration().offset = -14.7f;
        WindowHost host;  // shows nothing and does not wait
        AnalogOutputModel model(rig.toolContext(), host);
        model.open();
        RequestLog log(rig);
        rig.prompter.answer({Yes});
        // WHEN zeroed
        model.zero();
        // THEN the reading restarts, P1 and channel 4 are zeroed, and the reading is taken again
        QCOMPARE(log.requests, (std::vector<std::string>{"04 11 40", "06 90 40", "04 10 40"}));
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{kZeroQuestion}));
        // WHEN the transmitter falls silent while the question is open
        rig.prompter.clear();
        rig.prompter.answer({Yes});
        rig.prompter.onShow([&](const Message& shown) { device.faults.silent = shown.caption == kZeroCaption; });
        model.zero();
        // THEN the link's failure is reported
        QVERIFY(!model.session().statusText.empty());
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{kZeroQuestion, model.session().statusText}));
    }

    void resetDefaultsReadsAndWritesInTheTransmittersOrder() {
        // GIVEN a factory transmitter alarm of 2
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kOutput).putU8(D + 64, 2);
        WindowHost host;  // shows nothing and does not wait
        AnalogOutputModel model(rig.toolContext(), host);
        model.open();
        RequestLog log(rig);
        rig.prompter.answer({Yes});
        model.resetDefaults();
        std::vector<std::string> expected;
        for (std::uint32_t offset : {128, 160, 130, 162, 140, 144, 172, 176, 64}) expected.push_back(At("read", kOutput, D + offset));
        for (std::uint32_t offset : {64, 96, 0, 128, 130, 140, 144, 160, 162, 172, 176})
            expected.push_back(At("write", kOutput, B + offset));
        QCOMPARE(log.requests, expected);
        // AND the transmitter alarm is written as read, shown as Inactive
        QCOMPARE(device.memory(kOutput).u8(B + 64), std::uint8_t{2});
        QCOMPARE(device.memory(kOutput).u8(B + 96), std::uint8_t{2});
        QCOMPARE(model.state().alarmLevelText, std::string("Inactive"));
    }

    void openingWritesEachAlarmCorrectionAndReadsADeadbandBackBeforeTheNext() {
        // GIVEN alarm 1 below LSL, alarm 2 above USL, and both deadbands below the minimum
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        auto& out = device.memory(kOutput);
        for (const std::uint32_t alarm : {B + 128, B + 160}) {
            out.putU8(alarm, kAlarmClosed);
            out.putF32(alarm + 20, 0.1f);
        }
        out.putF32(B + 140, -1.0f);
        out.putF32(B + 176, 101.0f);
        RequestLog log(rig);
        WindowHost host;  // shows nothing and does not wait
        AnalogOutputModel model(rig.toolContext(), host);
        std::string lastRequest;
        std::string deadband1Shown;
        rig.prompter.onShow([&](const Message& shown) {
            if (!shown.text.starts_with("Digital Output 2 Reset")) return;
            lastRequest = log.requests.back();
            deadband1Shown = model.state().alarms[0].texts[2];
        });
        // WHEN it opens
        model.open();
        // THEN every correction reached the transmitter
        QCOMPARE(rig.prompter.texts(),
                 (std::vector<std::string>{
                     "Digital Output 1 lower value less than LSL.  Saving corrected value to device",
                     "Digital Output 2 Upper Value higher than USL.  Saving corrected value to device",
                     "Digital Output 1 Reset Deadband value invalid.  Saving corrected value to device",
                     "Digital Output 2 Reset Deadband value invalid.  Saving corrected value to device"}));
        QCOMPARE(out.f32(B + 140), 0.0f);
        QCOMPARE(out.f32(B + 176), 100.0f);
        QCOMPARE(out.f32(B + 148), 0.5f);
        QCOMPARE(out.f32(B + 180), 0.5f);
        // AND alarm 1's deadband was read back and shown before alarm 2's message
        QCOMPARE(lastRequest, At("read", kOutput, B + 148));
        QCOMPARE(deadband1Shown, model.state().alarms[0].texts[2]);
    }

    void anAlarm2FailureShowsOneBox() {
        UiRig rig;
        rig.findDevice(3, "440D");
        WindowHost host;  // shows nothing and does not wait
        AnalogOutputModel model(rig.toolContext(), host);
        model.open();
        std::array<std::string, kAoFieldCount> texts = ShownTexts(model);
        texts[static_cast<std::size_t>(AoField::Alarm2Value1)] = "-5";
        model.markEdited(AoField::Alarm2Value1);
        model.save(texts);
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Digital Output 2 Lower Value less than LSL"});
    }

    void aWriteFailureInTheMiddleSkipsTheRest() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        RequestLog log(rig);
        device.faults.statusFor.push_back({{kClassMemory, 0x88}, 0x12});
        Click(&window, "saveValuesButton");
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Device write error         "});
        QCOMPARE(log.writes(), 1);
    }

    void resetDefaultsMakesBothAlarmsInactive() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        device.memory(kOutput).putU8(B + 128, kAlarmClosed);
        device.memory(kOutput).putU8(B + 64, 0);
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        rig.prompter.answer({Yes});
        Click(&window, "resetDefaultsButton");
        QCOMPARE(device.memory(kOutput).u8(B + 128), kAlarmInactive);
        QCOMPARE(device.memory(kOutput).u8(B + 64), std::uint8_t{1});
        QVERIFY(Child<QRadioButton>(&window, "alarm1Inactive")->isChecked());
        QCOMPARE(Child<QLabel>(&window, "alarmLevel")->text(), QString("22.50"));
    }

    void fieldRecalAndCloseWithEdits() {
        UiRig rig;
        rig.findDevice(3, "440D");
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        Click(&window, "fieldRecalButton");
        QCOMPARE(rig.tools.opened, (std::vector<ToolWindow>{ToolWindow::FieldRecalibration}));
        Type(&window, "urvEdit", "90");
        rig.prompter.answer({MessageAnswer::Cancel});
        Click(&window, "closeButton");
        QVERIFY(window.isVisible());
        QCOMPARE(rig.prompter.texts(),
                 std::vector<std::string>{"Values have been edited. Save new values to device before closing?"});
        rig.prompter.answer({MessageAnswer::No});
        Click(&window, "closeButton");
        QVERIFY(!window.isVisible());
    }

    void savesTheSameUnderAGermanLocale() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "440D");
        AnalogOutput window(rig.toolContext(), nullptr, NoPause);
        window.show();
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) QSKIP("de_DE.UTF-8 not available");
        Type(&window, "urvEdit", "72.5");
        Click(&window, "saveValuesButton");
        const QString shown = Child<QLineEdit>(&window, "urvEdit")->text();
        std::setlocale(LC_ALL, "C");
        QCOMPARE(device.memory(kPressure).f32(0x2834), 72.5f);
        QVERIFY(shown.startsWith("72.5"));
    }
};

QTEST_MAIN(AnalogOutputTest)
#include "analog_output_test.moc"
