// The Configuration window against the simulator: the opening sequence, the
// reading loop with the status table, units, zero, damping, and the
// collection of readings into a file. The model runs under a host without
// widgets where only logic is checked; the real window where the operator's
// clicks and the screen matter.
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QLegend>
#include <QLegendMarker>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <clocale>
#include <fstream>
#include <sstream>

#include "ui/tools/measurement/measurement_view.h"
#include "ui/tools/read_only_edit.h"
#include "ui/tools/measurement/trend_buffer.h"
#include "ui/tools/tool_windows.h"
#include "ui/tools/measurement/trend_plot.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

constexpr MessageAnswer Yes = MessageAnswer::Yes;
constexpr MessageAnswer No = MessageAnswer::No;

// A host without widgets: records waits instead of waiting, and runs a hook
// where the window would process its events.
class FakeHost final : public MeasurementHost {
public:
    void showValues() override { ++shown; }
    void processEvents() override {
        if (onEvents) onEvents();
    }
    void wait(std::chrono::milliseconds duration, const std::function<bool()>&) override {
        waits.push_back(duration);
    }
    void readingTaken(const TrendReading&) override { ++readings; }

    std::function<void()> onEvents;
    std::vector<std::chrono::milliseconds> waits;
    int shown = 0;
    int readings = 0;
};

// Every request that reaches the simulator, as command bytes 1 and 2.
struct RequestLog {
    explicit RequestLog(UiRig& rig) {
        rig.ports.loseReplyTo = [this](ByteSpan request) {
            if (request.size() > offset::kCommand3) {
                frames.emplace_back(request.begin(), request.end());
                commands.emplace_back(request[offset::kCommand1], request[offset::kCommand2]);
                infoRecords.push_back(request[offset::kCommand1] == kClassInfo ? request[offset::kCommand3] : 0);
            }
            return false;
        };
    }
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<std::pair<std::uint8_t, std::uint8_t>> commands;
    std::vector<std::uint8_t> infoRecords;  // command byte 3 of the information requests
};

std::string Contents(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int LineCount(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

template <typename T>
T* Child(QWidget* window, const char* name) {
    T* child = window->findChild<T*>(name);
    if (!child) qFatal("no child named %s", name);
    return child;
}

// The model of a Configuration window opened on a transmitter of `modelCode`,
// under a host without widgets; `beforeOpening` may change the transmitter or
// the settings first.
struct OpenModel {
    using Preparation = std::function<void(UiRig&, sim::SimDevice&)>;
    explicit OpenModel(const char* modelCode, const Preparation& beforeOpening = {})
        : device(rig.findDevice(3, modelCode)), model(rig.toolContext(), host) {
        if (beforeOpening) beforeOpening(rig, device);
        model.open();
    }
    // A collection of `samples` at interval 0 into `fileName` of a temporary folder.
    CollectionFields& prepareCollection(const char* samples, const char* fileName = "r.csv") {
        CollectionFields& fields = model.edits().collection;
        fields.path = folder.filePath(fileName).toStdString();
        fields.intervalText = "0";
        fields.samplesText = samples;
        return fields;
    }
    std::string file() const { return Contents(folder.filePath("r.csv")); }

    UiRig rig;
    sim::SimDevice& device;
    FakeHost host;
    MeasurementModel model;
    QTemporaryDir folder;
};

}  // namespace

class MeasurementTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void opensADualInputTransmitterWithBothInputs() {
        // GIVEN a dual-input transmitter found over USB
        UiRig rig;
        rig.findDevice(3, "4402").live(sim::Channel::P1).behaviour().noise = 0.0f;
        // WHEN the window opens
        cConfigDlg window(rig.toolContext());
        window.show();
        // THEN both inputs show their type label and range, units and a reading
        QCOMPARE(Child<QLabel>(&window, "p1Label")->text(), QString("P1:  GI100"));
        QCOMPARE(Child<QLabel>(&window, "p2Label")->text(), QString("P2:  GI100"));
        QVERIFY(Child<QWidget>(&window, "p2Frame")->isVisible());
        QCOMPARE(Child<QLabel>(&window, "p1UnitName")->text().trimmed(), QString("PSI"));
        QCOMPARE(Child<QLineEdit>(&window, "p1Value")->text().trimmed(), QString("14.7000"));
        QCOMPARE(Child<QLabel>(&window, "p1Status")->text(), QString("OK"));
        // AND the preset damping is on with its time, and "Read" is the way to start
        QVERIFY(Child<QCheckBox>(&window, "p1DampingOn")->isChecked());
        QCOMPARE(Child<QLineEdit>(&window, "p1DampingTime")->text(), QString("1.0"));
        QVERIFY(Enabled(&window, "readButton"));
        QVERIFY(!Enabled(&window, "readStopButton"));
        QVERIFY(!Enabled(&window, "collectStopButton"));
        QVERIFY(window.windowTitle() == "Configuration");
    }

    void aSingleInputTransmitterHidesP2AndNeverAsksForIt() {
        // GIVEN a transmitter without a second input, and a log of every request
        UiRig rig;
        rig.findDevice(3, "4400");
        RequestLog log(rig);
        // WHEN the window opens and reads once
        FakeHost host;
        MeasurementModel model(rig.toolContext(), host);
        model.open();
        host.onEvents = [&] { model.requestStop(); };
        model.read();
        // THEN P2 reads "P2: N/A " and no request carries P2
        QCOMPARE(model.state().p2.label, std::string("P2: N/A "));
        QVERIFY(!model.state().p2.dampingOnEnabled);
        QCOMPARE(std::count(log.infoRecords.begin(), log.infoRecords.end(), 0x21), 0);
        QVERIFY(std::count(log.infoRecords.begin(), log.infoRecords.end(), 0x11) > 0);
        for (const auto& [class1, command2] : log.commands) {
            if (class1 == kClassMeasurements || class1 == kClassUnits || class1 == kClassSensorRange)
                QVERIFY2(!(command2 & kChannelP2), "a channel command carried P2");
        }
    }

    void earlyFirmwareDisablesBothDampingSwitches() {
        OpenModel open("4402", [](UiRig& r, sim::SimDevice&) { r.comm.earlyFirmware = true; });
        auto& [rig, device, host, model, folder] = open;
        QVERIFY(!model.state().p1.dampingOnEnabled);
        QVERIFY(!model.state().p2.dampingOnEnabled);
    }

    void theStatusTableColoursAndDashesEachInput() {
        // GIVEN an open window on a dual-input transmitter
        OpenModel open("4402", [](UiRig&, sim::SimDevice& d) { d.live(sim::Channel::P1).behaviour().noise = 0.0f; });
        auto& [rig, device, host, model, folder] = open;
        const auto readOnce = [&] {
            host.onEvents = [&] { model.requestStop(); };
            model.read();
        };
        // WHEN P1 reports 33 (hard over range)
        device.live(sim::Channel::P1).status = 33;
        readOnce();
        // THEN its status, red field and dashes show; P2 is untouched
        QCOMPARE(model.state().p1.statusText, std::string("Pres hard over range"));
        QCOMPARE(model.state().p1.colour, FieldColour::Alarm);
        QCOMPARE(model.state().p1.valueText, std::string("------"));
        QVERIFY(model.state().p2.valueText != "------");
        // WHEN 20 (calibration expired): only the text changes
        device.live(sim::Channel::P1).status = 20;
        readOnce();
        QCOMPARE(model.state().p1.statusText, std::string("Cal expired"));
        QCOMPARE(model.state().p1.colour, FieldColour::Alarm);
        QVERIFY(model.state().p1.valueText != "------");
        // WHEN an unlisted code: the text stays as it was
        device.live(sim::Channel::P1).status = 5;
        readOnce();
        QCOMPARE(model.state().p1.statusText, std::string("Cal expired"));
        // WHEN 0: grey again, with the number
        device.live(sim::Channel::P1).status = 0;
        readOnce();
        QCOMPARE(model.state().p1.statusText, std::string("OK"));
        QCOMPARE(model.state().p1.colour, FieldColour::Normal);
        QCOMPARE(model.state().p1.valueText, std::string("     14.7000"));
        // WHEN P2 reports 16: P2's field turns red with dashes, P1 keeps its value
        device.live(sim::Channel::P2).status = 16;
        readOnce();
        QCOMPARE(model.state().p2.statusText, std::string("Pres over range"));
        QCOMPARE(model.state().p2.colour, FieldColour::Alarm);
        QCOMPARE(model.state().p2.valueText, std::string("------"));
        QVERIFY(model.state().p1.valueText != "------");
        // WHEN P1 reports 19 in the reading loop: the temperature turns red with dashes
        device.live(sim::Channel::P1).status = 19;
        readOnce();
        QCOMPARE(model.state().p1.statusText, std::string("Temp over range"));
        QCOMPARE(model.state().temperatureColour, FieldColour::Alarm);
        QCOMPARE(model.state().temperatureText, std::string("------"));
    }

    void readingGoesOnOverASilentLineUntilStop() {
        // GIVEN an open window whose transmitter then falls silent
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        device.faults.silent = true;
        // WHEN "Read" runs and "Stop" comes only on the tenth turn
        int turns = 0;
        host.onEvents = [&] {
            if (++turns == 10) model.requestStop();
        };
        model.read();
        // THEN the loop kept going through the failures, ended, and took no reading
        QCOMPARE(turns, 10);
        QCOMPARE(model.state().activity, Activity::Idle);
        QVERIFY(!model.stopRequested());
        QCOMPARE(host.readings, 0);
    }

    void zeroAnsweredNoSendsOnlyTheMinMaxResetRead() {
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        RequestLog log(rig);
        rig.prompter.answer({No});
        model.zero();
        QCOMPARE(log.commands.size(), std::size_t{1});
        QCOMPARE(log.commands.front().first, kClassMeasurements);
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Equalize and or vent to atmosphere as appropriate"});
        QCOMPARE(rig.prompter.shown().front().caption, std::string("Zero"));
    }

    void zeroReportsTheTransmittersRefusal() {
        // GIVEN P1 far from zero (14.7 of a 100 PSI span), then a transmitter that allows no recalibration
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        rig.prompter.answer({Yes});
        model.zero();
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Equalize and or vent to atmosphere as appropriate", "Too far from zero         "}));
        QCOMPARE(rig.prompter.shown().back().caption, std::string("Error"));
        QCOMPARE(host.waits.back(), std::chrono::milliseconds(500));
        // WHEN the input is at zero, the zero succeeds without a box
        device.live(sim::Channel::P1).behaviour().value = 0.0f;
        device.live(sim::Channel::P2).behaviour().value = 0.0f;
        rig.prompter.clear();
        rig.prompter.answer({Yes});
        model.zero();
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
    }

    void dampingWritesAndTheirFailures() {
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        sim::MemoryMap& memory = device.memory(0x40);
        // P2's mode byte lands between its flag and its time
        model.chooseDampingMode(PressureInput::P2, true);
        QCOMPARE(memory.u8(0x2A11), std::uint8_t{1});
        QCOMPARE(memory.u8(0x2A10), std::uint8_t{1});
        model.chooseDampingMode(PressureInput::P1, true);
        QCOMPARE(memory.u8(0x2811), std::uint8_t{1});
        // The time is written as typed
        model.setDampingTime(PressureInput::P1, "2.5");
        QCOMPARE(memory.f32(0x2812), 2.5f);
        // A rejected flag write tells the operator and keeps the operator's tick
        device.faults.statusFor.push_back({{kClassMemory, std::nullopt}, 0x12});
        model.switchDamping(PressureInput::P1, false);
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Error setting damp state"});
        QVERIFY(!model.state().p1.dampingOn);
    }

    void aUnitStepWritesTheNewCodeAndShowsTheTransmittersName() {
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        const int before = model.state().p1.unitCode;
        model.stepUnit(PressureInput::P1, 1);
        QCOMPARE(model.state().p1.unitCode, before + 1);
        QVERIFY(model.state().p1.unitName != " PSI");
        QVERIFY(!model.takeControlValues(ControlValues{"abc", "0", "", "", "1", "100", true}));
        QCOMPARE(model.state().p1.unitCode, before + 1);
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Please enter an integer."});
    }

    void theSmartChoiceFollowsTheSensorRangeAtOpening() {
        struct Row {
            bool rangeRefused;  // status 16: the transmitter knows no smart damping
            std::uint8_t modeByte;
            bool smartEnabled, smart;
        };
        for (const Row row : {Row{false, 0, true, false}, Row{false, 1, true, true}, Row{true, 1, false, false}}) {
            OpenModel open("4402", [&](UiRig&, sim::SimDevice& d) {
                if (row.rangeRefused) d.faults.statusFor.push_back({{kClassSensorRange, std::nullopt}, 16});
                for (std::uint32_t at : {0x2811u, 0x2A11u}) d.memory(0x40).putU8(at, row.modeByte);
                d.memory(0x40).putU8(0x2A10, 1);  // P2's damping on, so its radios are set too
            });
            for (const PressureState* input : {&open.model.state().p1, &open.model.state().p2}) {
                QCOMPARE(input->smartEnabled, row.smartEnabled);
                QCOMPARE(input->smart, row.smart);
            }
        }
    }

    void readZeroAndStartSendTheirRequestsInOrder() {
        // GIVEN a dual-input transmitter: P1, P2 and temperature make the mask 0xB0
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        using Command = std::pair<std::uint8_t, std::uint8_t>;
        const Command restartMinMax{kClassMeasurements, 0xB1}, withMinMax{kClassMeasurements, 0xB2};
        RequestLog log(rig);
        // "Read" restarts min/max before its first reading
        host.onEvents = [&] { model.requestStop(); };
        model.read();
        QCOMPARE(log.commands, (std::vector<Command>{restartMinMax, withMinMax}));
        // "Zero" zeroes P1, P2 and channel 4
        log.commands.clear();
        rig.prompter.answer({Yes});
        model.zero();
        QCOMPARE(log.commands.at(1), (Command{kClassRecalibration, 0xB0}));
        // "Start" restarts min/max first only while "Reset Min/Max" is ticked
        open.prepareCollection("1");
        host.onEvents = {};
        for (const bool reset : {true, false}) {
            model.edits().resetMinMax = reset;
            log.commands.clear();
            model.collect();
            QCOMPARE(log.commands.front(), reset ? restartMinMax : withMinMax);
        }
    }

    void unitInvalidAndTheTemperatureUnitWrite() {
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        RequestLog log(rig);
        // P2's status 1 in the refresh is "Unit Invalid"
        device.live(sim::Channel::P2).status = 1;
        model.chooseDigits(PressureInput::P1, false);
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Unit Invalid"});
        QCOMPARE(rig.prompter.shown().back().caption, std::string("Error"));
        // "°C" writes the codes of P1, P2 and 1 for the temperature
        log.frames.clear();
        model.chooseTemperatureUnit(false);
        const std::vector<std::uint8_t>& write = log.frames.front();
        QCOMPARE(write[offset::kCommand1], kClassUnits);
        QCOMPARE(write[offset::kCommand2], std::uint8_t{0xB1});
        const auto code = [](const PressureState& input) { return static_cast<std::uint8_t>(input.unitCode); };
        QCOMPARE(std::vector<std::uint8_t>(write.begin() + 12, write.begin() + 15),
                 (std::vector<std::uint8_t>{code(model.state().p1), code(model.state().p2), 1}));
    }

    void aSilentTransmitterShowsNoReadings() {
        // GIVEN a transmitter that is silent while the window opens
        OpenModel open("4402", [](UiRig&, sim::SimDevice& d) { d.faults.silent = true; });
        auto& [rig, device, host, model, folder] = open;
        const MeasurementState& state = model.state();
        // THEN one box says so, and no field shows a value that never came
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
        QVERIFY(rig.prompter.texts().front().starts_with("The transmitter did not answer: SerialTransact failed"));
        QCOMPARE(state.p1.valueText, std::string("------"));
        QCOMPARE(state.p1.statusText, model.session().statusText);
        QCOMPARE(state.p1.label, std::string());
        QVERIFY(!state.unitsKnown);
        // WHEN "Read" runs on the silent line: dashes, no box
        int turns = 0;
        host.onEvents = [&] {
            if (++turns == 3) model.requestStop();
        };
        model.read();
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
        QCOMPARE(state.p2.valueText, std::string("------"));
        QCOMPARE(state.temperatureText, std::string("------"));
        // WHEN the transmitter answers again: headings, units, damping and readings come
        device.faults.silent = false;
        host.onEvents = [&] { model.requestStop(); };
        model.read();
        QCOMPARE(state.p1.label, std::string("P1:  GI100"));
        QCOMPARE(state.p2.label, std::string("P2:  GI100"));
        QVERIFY(state.unitsKnown);
        QCOMPARE(state.p1.dampingText, std::string("1.0"));
        QCOMPARE(state.p1.statusText, std::string("OK"));
        QVERIFY(state.p1.valueText != "------");
    }

    // ---- Data collection -------------------------------------------------------------

    void collectionChecksItsFieldsFirst() {
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        CollectionFields& fields = model.edits().collection;
        fields.intervalText = "301";
        model.collect();
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"Max interval is 300 seconds"});
        QCOMPARE(rig.prompter.shown().back().caption, std::string("Data Collection"));
        fields.intervalText = "-1";
        model.collect();
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"Max interval is 300 seconds", "Please enter a positive integer."}));
        fields.intervalText = "300";
        fields.samplesText = "x";
        model.collect();
        QCOMPARE(rig.prompter.texts().size(), std::size_t{3});
        QCOMPARE(rig.prompter.texts()[2], std::string("Please enter an integer."));
        fields.samplesText = "1";
        model.collect();
        QCOMPARE(rig.prompter.texts().size(), std::size_t{4});
        QCOMPARE(rig.prompter.texts()[3], std::string("No output file selected"));
        QVERIFY(host.waits.empty());
        // An interval of 300 is taken: the run waits 300 s, then 300 ms
        fields.path = folder.filePath("r.csv").toStdString();
        model.collect();
        QCOMPARE(host.waits.size(), std::size_t{2});
        QCOMPARE(host.waits[0], std::chrono::milliseconds(300000));
        QCOMPARE(host.waits[1], std::chrono::milliseconds(300));
    }

    void collectionWritesNumberedLinesAndMarksOutOfRange() {
        // GIVEN a dual-input transmitter whose P1 is hard over range
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        device.live(sim::Channel::P1).status = 33;
        CollectionFields& fields = open.prepareCollection("3");
        // WHEN three samples are taken
        model.collect();
        // THEN three lines with P1 "Out of range" and the headings of both inputs
        const std::string text = open.file();
        QCOMPARE(LineCount(text), 3);
        QVERIFY(text.starts_with("00001 P1:  GI100   Out of range   PSI   "));
        QVERIFY(text.find("00003 P1:  GI100") != std::string::npos);
        QVERIFY(text.find("P2:  GI100   100.") != std::string::npos);
        QVERIFY(text.find("\r\n") != std::string::npos);
        QCOMPARE(model.state().collection.counter, 3);
        // AND the P1 label is the bare type label afterwards
        QCOMPARE(model.state().p1.label, std::string("P1:  GI"));
        // WHEN appending two more, and then replacing with none
        fields.append = true;
        fields.samplesText = "2";
        model.collect();
        QCOMPARE(LineCount(open.file()), 5);
        fields.append = false;
        fields.samplesText = "0";
        model.collect();
        QCOMPARE(open.file(), std::string());
        QCOMPARE(model.state().collection.counter, 0);
        // A negative count takes nothing and shows as entered
        fields.samplesText = "-3";
        model.collect();
        QCOMPARE(model.state().collection.counter, -3);
    }

    void aFailedHeadingReadKeepsTheLastGoodHeading() {
        // GIVEN a run whose closing sensor read gets no reply
        OpenModel open("4402");
        auto& [rig, device, host, model, folder] = open;
        open.prepareCollection("1");
        rig.ports.loseReplyTo = [](ByteSpan request) {
            return request[offset::kCommand1] == kClassInfo && request[offset::kCommand3] == 0x11;
        };
        model.collect();
        // THEN the line keeps the heading read before, and the operator is told
        QVERIFY(open.file().starts_with("00001 P1:  GI100   "));
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
        QVERIFY(rig.prompter.texts().front().starts_with("The transmitter did not answer: "));
    }

    void twelveThousandSamplesKeepTheLastTenThousandInEntryOrder() {
        OpenModel open("4400");
        auto& [rig, device, host, model, folder] = open;
        open.prepareCollection("12000");
        model.collect();
        const std::string text = open.file();
        QCOMPARE(LineCount(text), 10000);
        QVERIFY(text.starts_with("00001   "));
        QVERIFY(text.find("\r\n10000   ") != std::string::npos);
        QCOMPARE(model.state().collection.counter, 12000);
    }

    void stoppingEarlyWritesOnlyTheSamplesTaken() {
        OpenModel open("4400");
        auto& [rig, device, host, model, folder] = open;
        open.prepareCollection("100");
        int turns = 0;
        host.onEvents = [&] {
            if (++turns == 5) model.requestStop();
        };
        model.collect();
        QCOMPARE(LineCount(open.file()), 4);
        QCOMPARE(model.state().collection.counter, 4);
    }

    void aFileThatCannotBeWrittenIsReported() {
        OpenModel open("4400");
        auto& [rig, device, host, model, folder] = open;
        CollectionFields& fields = open.prepareCollection("1", "missing/r.csv");
        model.collect();
        QCOMPARE(rig.prompter.texts().size(), std::size_t{1});
        QVERIFY(rig.prompter.texts()[0].starts_with("The readings could not be written to " + fields.path + ": "));
        QCOMPARE(rig.prompter.shown().back().icon, MessageIcon::Error);
    }

    void theFileIsTheSameUnderAGermanLocale() {
        OpenModel open("4400");
        auto& [rig, device, host, model, folder] = open;
        open.prepareCollection("1");
        if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) QSKIP("de_DE.UTF-8 not available");
        model.collect();
        std::setlocale(LC_ALL, "C");
        const std::string text = open.file();
        QVERIFY(text.find("14.") != std::string::npos);
        QVERIFY(text.find(',') == std::string::npos);
    }

    // ---- The real window ---------------------------------------------------------------

    void readAndStopByClicksWhileThePlotFills() {
        // GIVEN the window on a dual-input transmitter
        UiRig rig;
        rig.findDevice(3, "4402");
        cConfigDlg window(rig.toolContext());
        window.resize(900, 760);
        window.show();
        // WHEN the operator presses "Read", and "Stop" after a few readings
        int polls = 0;
        std::function<void()> stopLater = [&] {
            if (++polls < 40) {
                QTimer::singleShot(0, stopLater);
                return;
            }
            QVERIFY(!Enabled(&window, "readButton"));
            QVERIFY(Enabled(&window, "readStopButton"));
            QVERIFY(!Enabled(&window, "startButton"));
            Click(&window, "readStopButton");
        };
        QTimer::singleShot(0, stopLater);
        Click(&window, "readButton");
        // THEN the loop has ended and the controls are back
        QVERIFY(Enabled(&window, "readButton"));
        QVERIFY(!Enabled(&window, "readStopButton"));
        auto* value = Child<CReadOnlyEdit>(&window, "p1Value");
        QCOMPARE(value->backgroundColour(), kNormalFieldColour);
        // AND no caption is cut
        const QString cut = CutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        const QString misleading = MisleadingFields(&window);
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/measurement_window.png"));
    }

    void aMinuteOfReadingsShowsThreeSeparateLinesAndTheLegendHidesOne() {
        // GIVEN the window on a dual-input transmitter, the plot on a clock that moves 50 ms a reading
        UiRig rig;
        rig.findDevice(3, "4402");
        cConfigDlg window(rig.toolContext());
        auto* plot = window.findChild<TrendPlot*>();
        double now = 1796745600.0;
        plot->setClock([&] { return now += 0.05; });
        window.show();
        Child<QCheckBox>(&window, "plotCheck")->setChecked(true);
        window.resize(1000, 700);
        Child<QComboBox>(&window, "trendWindow")->setCurrentIndex(0);  // the last minute
        // WHEN the loop reads for a minute of that clock, stopped for 5 s in the middle
        const auto readFor = [&](int readings) {
            int turns = 0;
            std::function<void()> stopLater = [&] {
                if (++turns < readings) QTimer::singleShot(0, stopLater);
                else Click(&window, "readStopButton");
            };
            QTimer::singleShot(0, stopLater);
            Click(&window, "readButton");
        };
        readFor(500);
        now += 5.0;
        readFor(600);
        plot->redraw();
        // THEN P1, P2 and the temperature each have an axis, two lines and one legend entry
        const auto window10 = *plot->model().timeWindow(600);
        QCOMPARE(plot->model().axes(window10).size(), std::size_t{3});
        for (const TrendQuantity quantity : kAllTrendQuantities) {
            QCOMPARE(plot->model().lines(quantity, window10, 500).size(), std::size_t{2});
        }
        auto* chart = plot->findChild<QChartView*>("trendChart")->chart();
        const auto markers = chart->legend()->markers();
        QCOMPARE(std::count_if(markers.begin(), markers.end(), [](auto* marker) { return marker->isVisible(); }), 3);
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/measurement_trend.png"));
        // AND "Export CSV..." names the transmitter it read from
        QTemporaryDir folder;
        rig.files.answer(folder.filePath("trend.csv").toStdString());
        Click(&window, "trendExportCsv");
        const std::string csv = Contents(folder.filePath("trend.csv"));
        QVERIFY2(csv.starts_with("Serial number,SIM0000001\r\nModel,T4402 Dual Pressure\r\n"), csv.substr(0, 80).c_str());
        QCOMPARE(LineCount(csv), 4 + static_cast<int>(plot->model().points().size()));
        // AND a click on P2's legend entry hides its line and gives up its axis
        Q_EMIT markers.at(1)->clicked();
        QCOMPARE(plot->model().axes(window10).size(), std::size_t{2});
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/measurement_trend_p2_hidden.png"));
    }

    void typedValuesOutlastTheFileChooserAndP2sCodeIsSent() {
        // GIVEN the window, with a number of samples and P2's unit code typed
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "4402");
        cConfigDlg window(rig.toolContext());
        window.show();
        const auto type = [&](const char* name, const char* text) {
            auto* edit = Child<QLineEdit>(&window, name);
            edit->selectAll();
            QTest::keyClicks(edit, text);
            QTest::keyClick(edit, Qt::Key_Return);
        };
        type("p2UnitCode", "3");
        type("samplesEdit", "7");
        // WHEN "File" names a new file
        rig.files.answer("/tmp/readings");
        Click(&window, "fileButton");
        // THEN the chooser was one for a new or existing output file with ".csv", and the fields kept their text
        const ScriptedFileChooser::Request& request = rig.files.requests().back();
        QCOMPARE(request.kind, ScriptedFileChooser::Kind::Output);
        QCOMPARE(request.choice.defaultExtension, std::string("csv"));
        QCOMPARE(Child<QLineEdit>(&window, "pathField")->text(), QString("/tmp/readings"));
        QCOMPARE(Child<QLineEdit>(&window, "samplesEdit")->text(), QString("7"));
        // AND the next units write carries P2's typed code
        Click(&window, "celsiusRadio");
        QCOMPARE(device.unitCode(sim::Channel::P2), std::uint8_t{3});
    }

    void anOutputFileWithoutExtensionGetsTheDefault() {
        const std::pair<const char*, const char*> rows[] = {
            {"/data/readings", "/data/readings.csv"},
            {"/data/old.txt", "/data/old.txt"},
            {"/data.d/readings", "/data.d/readings.csv"},  // a dot in a folder is no extension
        };
        for (const auto& [chosen, expected] : rows) QCOMPARE(WithDefaultExtension(chosen, "csv"), std::string(expected));
    }

    void thePlotKeepsTheNewestPointsAndDrawsTwoAColumn() {
        TrendBuffer buffer(1000);
        for (int i = 0; i < 1500; ++i) {
            buffer.append(TrendPoint{i * 0.01, static_cast<float>(i % 7), std::nullopt, 20.0f, false, {}});
        }
        QCOMPARE(buffer.size(), std::size_t{1000});
        QCOMPARE(buffer.at(0).seconds, 5.0);  // the oldest 500 gave way
        const auto lines = buffer.decimated(TrendQuantity::P1, 0, 5.0, 15.0, 10);
        QCOMPARE(lines.size(), std::size_t{1});
        const PlotLine& drawn = lines.front();
        QVERIFY(drawn.size() <= 20);
        QCOMPARE(std::min_element(drawn.begin(), drawn.end(), [](auto a, auto b) { return a.value < b.value; })->value, 0.0);
        QCOMPARE(std::max_element(drawn.begin(), drawn.end(), [](auto a, auto b) { return a.value < b.value; })->value, 6.0);
        QVERIFY(std::is_sorted(drawn.begin(), drawn.end(), [](auto a, auto b) { return a.seconds < b.seconds; }));
        QVERIFY(buffer.decimated(TrendQuantity::P2, 0, 5.0, 15.0, 10).empty());
    }

    void theToolButtonOpensTheWindowModally() {
        // GIVEN the program's opener of tool windows
        UiRig rig;
        rig.findDevice(3, "4402");
        ToolWindows tools(rig.comm, rig.store, rig.ports, rig.shared, rig.prompter, rig.files);
        QString title;
        WhenModalOpens([&](QWidget* window) {
            title = window->windowTitle();
            Click(window, "closeButton");
        });
        // WHEN "Measurement/Configuration" is opened
        tools.open(ToolWindow::MeasurementConfiguration, nullptr);
        // THEN the Configuration window came up and closed
        QCOMPARE(title, QString("Configuration"));
    }

    void closeWhileReadingEndsTheLoopFirst() {
        UiRig rig;
        rig.findDevice(3, "4400");
        cConfigDlg window(rig.toolContext());
        window.show();
        QTimer::singleShot(0, [&] { window.reject(); });
        Click(&window, "readButton");
        QVERIFY(!window.isVisible());
    }
};

QTEST_MAIN(MeasurementTest)
#include "measurement_test.moc"
