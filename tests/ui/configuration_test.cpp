// The Transmitter menu and the Transmitter Configuration window against the
// simulator: a saved file compared after two changes made in the tool
// windows, the restore (asked, applied, verified), and the commissioning
// report's PDF, rendered once for the eye and read back as text.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <set>

#include "tests/ui/ui_test_rig.h"
#include "ui/tools/analog_output/analog_output_model.h"
#include "ui/tools/configuration/configuration_view.h"
#include "ui/tools/configuration/report_pdf.h"
#include "ui/tools/measurement/measurement_model.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

constexpr auto Yes = MessageAnswer::Yes;
constexpr auto No = MessageAnswer::No;

class QuietMeasurementHost final : public MeasurementHost {
public:
    void readingTaken(const TrendReading&) override {}
};

constexpr std::uint8_t kPressureMemory = 0x40;
constexpr std::uint32_t kUrvAddress = 0x2834;

// Two changes after the file was saved, as a technician makes them: the URV
// in the Analog Output window (Save Values keeps the alarms' set points, so
// their percentages of the new span change) and the P1 unit, stepped in the
// Measurement/Configuration window.
void ChangeUrvAndUnit(UiRig& rig) {
    WindowHost host;
    AnalogOutputModel analogOutput(rig.toolContext(), host);
    analogOutput.open();
    std::array<std::string, kAoFieldCount> texts;
    for (std::size_t field = 0; field < kAoFieldCount; ++field)
        texts[field] = ShownText(analogOutput.state(), static_cast<AoField>(field));
    texts[static_cast<std::size_t>(AoField::Urv)] = "80";
    analogOutput.markEdited(AoField::Urv);
    analogOutput.save(texts);
    QuietMeasurementHost measurementHost;
    MeasurementModel measurement(rig.toolContext(), measurementHost);
    measurement.open();
    measurement.stepUnit(PressureInput::P1, 1);
}

// What a restore writes after those two changes: the alarms keep their set
// points against the file's URV, so their percentages of span change back.
const std::set<std::string> kRestoredSettings{
    "P1 unit", "URV", "Digital Output 1 value 1", "Digital Output 1 value 2", "Digital Output 1 Reset Deadband",
    "Digital Output 2 value 1", "Digital Output 2 value 2", "Digital Output 2 Reset Deadband"};

std::set<std::string> DifferingSettings(const ConfigurationWindowState& state) {
    std::set<std::string> settings;
    for (const ComparisonRow& row : Differences(state.rows)) {
        settings.insert(row.setting);
    }
    return settings;
}

struct OpenWindowModel {
    explicit OpenWindowModel(const char* modelCode) : device(rig.findDevice(3, modelCode)), model(rig.toolContext(), host, WriteReportPdf) {
        model.open();
    }
    std::string path(const char* name) const { return folder.filePath(name).toStdString(); }

    UiRig rig;
    sim::SimDevice& device;
    WindowHost host;
    ConfigurationModel model;
    QTemporaryDir folder;
};

QString RunTool(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class ConfigurationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theTransmitterMenuServesOnlyASelectedTransmitter() {
        UiRig rig;
        rig.attach(3, "440D");
        auto window = rig.openWindow();
        const QList<QAction*> entries = window->findChild<QMenu*>("transmitterMenu")->actions();
        QCOMPARE(entries.size(), 4);
        for (QAction* entry : entries) QVERIFY(!entry->isEnabled());
        rig.prompter.answer({Yes});
        Click(window.get(), "findDeviceButton");
        QMenu* menu = window->findChild<QMenu*>("transmitterMenu");
        menu->popup(window->mapToGlobal(QPoint(0, 0)));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        menu->grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/transmitter_menu.png");
        menu->hide();
        for (QAction* entry : entries) {
            QVERIFY(entry->isEnabled());
            entry->trigger();
        }
        QCOMPARE(rig.tools.opened, (std::vector<ToolWindow>{ToolWindow::SaveConfiguration, ToolWindow::CompareWithFile,
                                                             ToolWindow::RestoreFromFile,
                                                             ToolWindow::CommissioningReport}));
    }

    void compareMarksExactlyTheTwoChangedSettings() {
        // GIVEN the configuration saved to a file
        OpenWindowModel open("440D");
        open.rig.files.answer(open.path("before.json"));
        QVERIFY(open.model.save());
        // WHEN the URV and the P1 unit are changed in the tool windows, and compared with the file
        ChangeUrvAndUnit(open.rig);
        open.rig.files.answer(open.path("before.json"));
        QVERIFY(open.model.compare());
        // THEN exactly those two are marked, and the filter shows only them
        QCOMPARE(DifferingSettings(open.model.state()), (std::set<std::string>{"P1 unit", "URV"}));
        QVERIFY(open.model.state().rows.size() > 2);
        open.model.setOnlyDifferences(true);
        QCOMPARE(ShownRows(open.model.state()).size(), std::size_t{2});
    }

    void restoreAsksThenWritesAndShowsTheVerifiedSettings() {
        // GIVEN a saved file and the same two changes
        OpenWindowModel open("440D");
        open.rig.files.answer(open.path("before.json"));
        QVERIFY(open.model.save());
        ChangeUrvAndUnit(open.rig);
        // WHEN the restore is declined, nothing is written
        open.rig.prompter.clear();
        open.rig.files.answer(open.path("before.json"));
        open.rig.prompter.answer({No});
        open.model.restore();
        QCOMPARE(open.model.state().table, ConfigurationTable::Plan);
        QCOMPARE(DifferingSettings(open.model.state()), kRestoredSettings);
        QCOMPARE(open.device.memory(kPressureMemory).f32(kUrvAddress), 80.0f);
        // WHEN it is accepted
        open.rig.files.answer(open.path("before.json"));
        open.rig.prompter.answer({Yes});
        open.device.settingWrites = 0;
        QVERIFY(open.model.restore());
        // THEN the two were written, and the alarms' percentages of the file's span with them; the
        // question listed them, and all read back as planned
        QCOMPARE(open.device.settingWrites, kRestoredSettings.size());
        const std::string question = open.rig.prompter.texts().back();
        QVERIFY2(question.starts_with("Write 8 settings to the transmitter?"), question.c_str());
        QCOMPARE(open.model.state().table, ConfigurationTable::Verified);
        open.model.setOnlyDifferences(true);
        QCOMPARE(ShownRows(open.model.state()).size(), kRestoredSettings.size());
        QVERIFY(Differences(open.model.state().rows).empty());
        QCOMPARE(open.device.memory(kPressureMemory).f32(kUrvAddress), 100.0f);
        open.rig.files.answer(open.path("before.json"));
        QVERIFY(open.model.compare());
        QVERIFY(Differences(open.model.state().rows).empty());
        // AND restoring the file once more writes nothing
        open.rig.files.answer(open.path("before.json"));
        open.device.settingWrites = 0;
        QVERIFY(open.model.restore());
        QCOMPARE(open.device.settingWrites, std::size_t{0});
    }

    void aFailedWriteNamesWhatWasWrittenAndWhatWasNot() {
        // GIVEN the two changes, and a transmitter that refuses memory writes
        OpenWindowModel open("440D");
        open.rig.files.answer(open.path("before.json"));
        QVERIFY(open.model.save());
        ChangeUrvAndUnit(open.rig);
        open.device.faults.statusFor.push_back({{0x62, 0x88}, 16});
        // WHEN the restore is accepted
        open.rig.prompter.clear();
        open.rig.files.answer(open.path("before.json"));
        open.rig.prompter.answer({Yes});
        open.model.restore();
        // THEN the unit went through, the URV did not, and the box says so
        const std::string box = open.rig.prompter.texts().back();
        QVERIFY2(box.starts_with("The restore stopped: "), box.c_str());
        QVERIFY2(box.ends_with("\n\nWritten: P1 unit\nNot written: URV, Digital Output 1 value 1, Digital Output 1 "
                               "value 2, Digital Output 1 Reset Deadband, Digital Output 2 value 1, Digital Output 2 "
                               "value 2, Digital Output 2 Reset Deadband"),
                 box.c_str());
        QCOMPARE(open.model.state().table, ConfigurationTable::Verified);
    }

    void theWindowShowsTheComparison() {
        UiRig rig;
        rig.findDevice(3, "440D");
        QTemporaryDir folder;
        const std::string file = folder.filePath("before.json").toStdString();
        rig.files.answer(file);
        ConfigurationWindow window(rig.toolContext());
        window.show();
        window.start(ToolWindow::SaveConfiguration);
        ChangeUrvAndUnit(rig);
        rig.files.answer(file);
        window.start(ToolWindow::CompareWithFile);
        const QString cut = CutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/configuration_window.png"));
        // AND the report's questions show uncut; Cancel writes nothing
        QString dialogCut = "not opened";
        WhenModalOpens([&](QWidget* dialog) {
            dialogCut = CutCaptions(dialog);
            dialog->grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/report_details_dialog.png");
            static_cast<QDialog*>(dialog)->reject();
        });
        window.start(ToolWindow::CommissioningReport);
        QVERIFY2(dialogCut.isEmpty(), qPrintable(dialogCut));
        QCOMPARE(rig.files.requests().size(), std::size_t{2});
    }

    void theReportHoldsTheSettingsAndTheReadings() {
        // GIVEN a transmitter with an analog output, and the technician's answers
        OpenWindowModel open("440D");
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        const QString pdf = QString(CORVEL_SCREENSHOT_DIR) + "/commissioning_report.pdf";
        open.rig.files.answer(pdf.toStdString());
        // WHEN the report is written
        QVERIFY(open.model.writeReport({"A. Weber", "Vented before zero; tag checked.", 10}));
        // THEN its text holds the technician, the settings, ten readings and their summary
        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (pdftotext.isEmpty() || pdftoppm.isEmpty()) QSKIP("poppler-utils are not installed");
        const QString text = RunTool(pdftotext, {"-layout", pdf, "-"});
        for (const char* expected : {"Commissioning Report", "A. Weber", "Vented before zero; tag checked.",
                                     "SIM0000001", "URV", "P1 unit", "As-found readings", "Minimum", "Maximum",
                                     "Mean", "Technician: name, signature", "Customer: name, signature"})
            QVERIFY2(text.contains(expected), qPrintable(QString("missing %1 in\n%2").arg(expected, text)));
        QVERIFY2(text.contains(QRegularExpression("\\n\\s*10\\s+\\S+\\s+OK")), qPrintable(text));
        const int pages = static_cast<int>(text.count('\f'));
        QVERIFY2(pages >= 1 && pages <= 2, qPrintable(QString::number(pages)));
        // AND it is rendered for the eye
        QVERIFY(RunTool(pdftoppm, {"-png", "-r", "60", pdf, QString(CORVEL_SCREENSHOT_DIR) + "/commissioning_report"})
                    .isEmpty());
        QVERIFY(QFile::exists(QString(CORVEL_SCREENSHOT_DIR) + "/commissioning_report-1.png"));
    }
};

QTEST_MAIN(ConfigurationTest)
#include "configuration_test.moc"
