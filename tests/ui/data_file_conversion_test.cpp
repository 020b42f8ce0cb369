// The data log utility against a simulated two-module transmitter: the list of
// the instrument's log files, the copy and its conversion, the PC route, and
// what a failed, restarted or cancelled copy leaves behind.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "ui/tools/data_log/data_log_view.h"
#include "sim/device_config.h"
#include "link/frame.h"
#include "sim/log_builder.h"
#include "tests/ui/ui_test_rig.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

constexpr int kPort = 3;
const sim::LogDescription kLongLog = sim::PressureLogDescription("LOG00003.BIN", 300, 100);

// The preset's two logs and a third of many blocks.
sim::SimDevice& FindLogger(UiRig& rig) {
    sim::SimDevice& device = rig.findDevice(kPort, "Q712");
    device.logStore()->add({kLongLog.fileName, sim::BuildLogFile(kLongLog)});
    return device;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Whether the request is one for a log block.
bool IsLogBlockRequest(ByteSpan request) {
    return request.size() > offset::kCommand1 && request[offset::kCommand1] == kClassLogBlock;
}

std::vector<std::string> Rows(QWidget* dialog) {
    std::vector<std::string> rows;
    auto* list = dialog->findChild<QListWidget*>("fileList");
    for (int i = 0; i < list->count(); ++i) rows.push_back(list->item(i)->text().toStdString());
    return rows;
}

}  // namespace

class DataFileConversionTest : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> scratch;
    QString path(const char* name) const { return scratch->filePath(name); }
    QStringList filesInScratch() const { return QDir(scratch->path()).entryList(QDir::Files); }

    // Instrument mode with the first row (the last file) selected and the output chosen.
    void startDownload(UiRig& rig, cDataFileConversion& dialog, const QString& output) {
        dialog.show();
        Click(&dialog, "instrumentRadio");
        rig.files.answer(output.toStdString());
        Click(&dialog, "outputFileButton");
    }

private Q_SLOTS:
    void init() { scratch = std::make_unique<QTemporaryDir>(); }

    void aLogNameFromTheInstrumentIsListedInUtf8() {
        const LogDirectoryEntry entry{1, "LOG00001.BIN", "Tank 3 \xB0" "C", "12/07/2026 08:00:00", 5, 1};
        QCOMPARE(LogListRowText(entry), std::string("LOG00001.BIN     Tank 3 \u00B0C        start time: "
                                                    "12/07/2026 08:00:00        5 samples"));
    }

    void listsTheInstrumentsFilesAndDownloadsToTheSameCsvAsThePcRoute() {
        // GIVEN a Q712 keeping three logs, found as a technician does
        UiRig rig;
        sim::SimDevice& device = FindLogger(rig);
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QString("Datalog Utility"));
        QVERIFY(dialog.findChild<QRadioButton*>("browsePcRadio")->isChecked());
        QVERIFY(Enabled(&dialog, "instrumentRadio"));
        // WHEN the instrument is chosen THEN its files are listed, the last first, in the row format
        Click(&dialog, "instrumentRadio");
        const std::vector<std::string> rows = Rows(&dialog);
        QCOMPARE(rows.size(), std::size_t{3});
        QCOMPARE(rows[0], std::string("LOG00003.BIN     Simulated log        start time: 12/07/2026 08:00:00        "
                                      "300 samples"));
        QVERIFY(rows[2].starts_with("LOG00001.BIN     "));
        QCOMPARE(dialog.findChild<QListWidget*>("fileList")->currentRow(), 0);
        QVERIFY(!Enabled(&dialog, "inputFileButton"));
        QVERIFY(Enabled(&dialog, "eraseAllButton"));
        const QString cut = CutCaptions(&dialog);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        const QString misleading = MisleadingFields(&dialog);
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
        const QString folder = CORVEL_SCREENSHOT_DIR;
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(dialog.grab().save(folder + "/datalog_utility.png"));

        // WHEN the selected file is saved
        rig.files.answer(path("instrument.csv").toStdString());
        Click(&dialog, "outputFileButton");
        QCOMPARE(rig.files.requests().back().choice,
                 (FileChoice{"Output File", ".csv Files (*.csv)|*.csv||", "csv", "Output.csv"}));
        auto* bar = dialog.findChild<QProgressBar*>("progressBar");
        QSignalSpy progress(bar, &QProgressBar::valueChanged);
        rig.prompter.answer({MessageAnswer::Yes});
        Click(&dialog, "saveFileButton");
        // THEN it is converted, logging is released and the operator is asked for another
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"File save complete. Another?"});
        QCOMPARE(device.logStore()->state, std::uint8_t{0});
        QVERIFY(dialog.isVisible());
        QCOMPARE(bar->value(), 0);
        QVERIFY(progress.count() > 20);
        for (int i = 0; i + 1 < progress.count(); ++i) QVERIFY(progress[i][0].toInt() >= 1);

        // WHEN the same log is converted from a .bin on the PC THEN both routes give the same CSV
        const std::vector<std::uint8_t> log = sim::BuildLogFile(kLongLog);
        Write(path("long.bin"), QByteArray(reinterpret_cast<const char*>(log.data()), static_cast<int>(log.size())));
        rig.prompter.clear();
        Click(&dialog, "browsePcRadio");
        QVERIFY(Rows(&dialog).empty());
        rig.files.answer(path("long.bin").toStdString());
        Click(&dialog, "inputFileButton");
        rig.files.answer(path("pc.csv").toStdString());
        Click(&dialog, "outputFileButton");
        QCOMPARE(rig.files.requests().back().choice.initialPath, std::string("long.csv"));
        rig.prompter.answer({MessageAnswer::No});
        Click(&dialog, "saveFileButton");
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"File save complete. Another?"});
        QVERIFY(!dialog.isVisible());
        QVERIFY(Contents(path("pc.csv")).size() > 1000);
        QCOMPARE(Contents(path("instrument.csv")), Contents(path("pc.csv")));
        QDir temporary(QDir::tempPath());
        QVERIFY(temporary.entryList({"corvel-setup-*"}, QDir::Dirs).isEmpty());
    }

    void progressStaysWithinOneAndHundredWhenTheEstimateIsLow() {
        // GIVEN the preset's first log: 40 samples estimated at 8 blocks, stored in 9
        UiRig rig;
        rig.findDevice(kPort, "Q712");
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        startDownload(rig, dialog, path("tank.csv"));
        dialog.findChild<QListWidget*>("fileList")->setCurrentRow(1);
        QSignalSpy progress(dialog.findChild<QProgressBar*>("progressBar"), &QProgressBar::valueChanged);
        // WHEN it is saved with its raw log kept
        dialog.findChild<QCheckBox*>("keepRawLogCheck")->setChecked(true);
        rig.prompter.answer({MessageAnswer::Yes});
        Click(&dialog, "saveFileButton");
        // THEN the bar climbs from 1, holds at 100 past the estimate, and returns to 0
        std::vector<int> values;
        for (const QList<QVariant>& change : progress) values.push_back(change[0].toInt());
        QVERIFY(values.size() > 3);
        QCOMPARE(values.front(), 1);
        QCOMPARE(values.back(), 0);
        QVERIFY(std::find(values.begin(), values.end(), 100) != values.end());
        QVERIFY(std::all_of(values.begin(), values.end() - 1, [](int v) { return v >= 1 && v <= 100; }));
        // AND the raw log, in whole blocks, stands beside the CSV
        QCOMPARE(filesInScratch(), (QStringList{"tank.bin", "tank.csv"}));
        const std::vector<std::uint8_t> log = sim::BuildLogFile(sim::PressureLogDescription("LOG00001.BIN", 40, 100));
        const QByteArray raw = Contents(path("tank.bin"));
        QCOMPARE(raw.size(), 9 * 128);
        QVERIFY(raw.startsWith(QByteArray(reinterpret_cast<const char*>(log.data()), static_cast<int>(log.size()))));
    }

    void collectingTransmitterSendsTheDialogBackToBrowsePc() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(kPort, "Q712");
        device.logStore()->collecting = true;
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        dialog.show();
        Click(&dialog, "instrumentRadio");
        QCOMPARE(rig.prompter.texts(),
                 std::vector<std::string>{"Wait until data collection in progress\n is complete before accessing log files"});
        QVERIFY(dialog.findChild<QRadioButton*>("browsePcRadio")->isChecked());
        QVERIFY(Rows(&dialog).empty());
        QVERIFY(Enabled(&dialog, "inputFileButton"));
    }

    void repeatedNameEndsTheListAndEraseAllEmptiesItEvenWhenRefused() {
        // GIVEN a directory whose third entry repeats the first name
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(kPort, "Q712");
        device.logStore()->add({"LOG00001.BIN", sim::BuildLogFile(kLongLog)});
        device.logStore()->add({"LOG00004.BIN", sim::BuildLogFile(kLongLog)});
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        dialog.show();
        Click(&dialog, "instrumentRadio");
        QCOMPARE(Rows(&dialog).size(), std::size_t{2});
        // WHEN Erase All is answered No THEN the list is emptied and nothing is erased
        rig.prompter.answer({MessageAnswer::No});
        Click(&dialog, "eraseAllButton");
        QCOMPARE(rig.prompter.shown(),
                 (std::vector<Message>{{"Are you sure you want to erase all files?", std::string(kApplicationTitle),
                                        MessageIcon::Warning, MessageButtons::YesNo, MessageAnswer::No}}));
        QVERIFY(Rows(&dialog).empty());
        QCOMPARE(device.logStore()->count(), std::size_t{4});
        // WHEN Save File finds the list empty THEN the operator is told what to do
        rig.prompter.clear();
        rig.files.answer(path("none.csv").toStdString());
        Click(&dialog, "outputFileButton");
        Click(&dialog, "saveFileButton");
        QCOMPARE(rig.prompter.shown().size(), std::size_t{1});
        QVERIFY(rig.prompter.texts()[0].starts_with("There is no log file to save"));
        // WHEN Erase All is answered Yes THEN the store is empty
        rig.prompter.answer({MessageAnswer::Yes});
        Click(&dialog, "eraseAllButton");
        QCOMPARE(device.logStore()->count(), std::size_t{0});
    }

    void aRefusedDirectoryEntryKeepsTheFilesListedBefore() {
        // GIVEN a transmitter that refuses the third directory position with status 5
        UiRig rig;
        sim::SimDevice& device = FindLogger(rig);
        int directoryRequests = 0;
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            const bool directory = request.size() > offset::kCommand2 && request[offset::kCommand1] == kClassLogFiles &&
                                   request[offset::kCommand2] == 0x41;
            if (directory && ++directoryRequests == 4) device.faults.statusFor = {{{kClassLogFiles, 0x41}, 5}};
            return false;
        };
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        dialog.show();
        Click(&dialog, "instrumentRadio");
        // THEN the refusal is told once, and the two files before it stay listed in Instrument mode
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"error 5"});
        QCOMPARE(Rows(&dialog).size(), std::size_t{2});
        QVERIFY(dialog.findChild<QRadioButton*>("instrumentRadio")->isChecked());
        QVERIFY(Enabled(&dialog, "eraseAllButton"));
    }

    void anExistingRawLogIsReplacedOnlyWhenTheOperatorSaysSo() {
        UiRig rig;
        rig.findDevice(kPort, "Q712");
        Write(path("tank.bin"), "earlier raw log");
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        startDownload(rig, dialog, path("tank.csv"));
        dialog.findChild<QCheckBox*>("keepRawLogCheck")->setChecked(true);
        // WHEN the operator answers No to replacing it THEN nothing is copied or written
        rig.prompter.answer({MessageAnswer::No});
        Click(&dialog, "saveFileButton");
        QCOMPARE(rig.prompter.shown(),
                 (std::vector<Message>{{"tank.bin already exists.\nDo you want to replace it?",
                                        std::string(kApplicationTitle), MessageIcon::Warning, MessageButtons::YesNo,
                                        MessageAnswer::No}}));
        QCOMPARE(Contents(path("tank.bin")), QByteArray("earlier raw log"));
        QCOMPARE(filesInScratch(), QStringList{"tank.bin"});
        // WHEN the operator answers Yes THEN the raw log is replaced and the CSV written
        rig.prompter.clear();
        rig.prompter.answer({MessageAnswer::Yes, MessageAnswer::Yes});
        Click(&dialog, "saveFileButton");
        QCOMPARE(rig.prompter.texts(), (std::vector<std::string>{"tank.bin already exists.\nDo you want to replace it?",
                                                                 "File save complete. Another?"}));
        QCOMPARE(filesInScratch(), (QStringList{"tank.bin", "tank.csv"}));
        QVERIFY(Contents(path("tank.bin")) != QByteArray("earlier raw log"));
    }

    void droppedLineEndsWithTheRetryQuestionAndKeepsTheExistingOutput() {
        // GIVEN an output file from an earlier save
        UiRig rig;
        sim::SimDevice& device = FindLogger(rig);
        Write(path("kept.csv"), "earlier result");
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        startDownload(rig, dialog, path("kept.csv"));
        QCOMPARE(Contents(path("kept.csv")), QByteArray("earlier result"));  // choosing deletes nothing
        // WHEN the line drops after five blocks and stays down
        device.faults.dropLineAfterLogBlocks = 5;
        rig.prompter.answer({MessageAnswer::Yes});
        Click(&dialog, "saveFileButton");
        // THEN the save fails with the reason and the retry question, and the earlier file is intact
        const std::vector<std::string> texts = rig.prompter.texts();
        QCOMPARE(texts.size(), std::size_t{2});
        QVERIFY(texts[0].starts_with("The log file was not copied from the instrument"));
        QCOMPARE(texts[1], std::string("File save failed. Retry?"));
        QCOMPARE(Contents(path("kept.csv")), QByteArray("earlier result"));
        QCOMPARE(filesInScratch(), QStringList{"kept.csv"});
        QVERIFY(dialog.isVisible());
    }

    void lostBlockStartsTheCopyAgainAndTheCsvIsComplete() {
        UiRig rig;
        sim::SimDevice& device = FindLogger(rig);
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        startDownload(rig, dialog, path("restarted.csv"));
        // WHEN the reply to the sixth block is lost once
        int blockRequests = 0;
        rig.ports.loseReplyTo = [&](ByteSpan request) { return IsLogBlockRequest(request) && ++blockRequests == 6; };
        rig.prompter.answer({MessageAnswer::No});
        Click(&dialog, "saveFileButton");
        // THEN the copy starts again from the first block and the conversion is whole
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"File save complete. Another?"});
        QVERIFY(blockRequests > 6 + 5);
        QCOMPARE(device.logStore()->state, std::uint8_t{0});
        const std::vector<std::uint8_t> log = sim::BuildLogFile(kLongLog);
        Write(path("whole.bin"), QByteArray(reinterpret_cast<const char*>(log.data()), static_cast<int>(log.size())));
        cDataFileConversion pc(rig.toolContext(), nullptr);
        pc.show();
        rig.files.answer(path("whole.bin").toStdString());
        Click(&pc, "inputFileButton");
        rig.files.answer(path("whole.csv").toStdString());
        Click(&pc, "outputFileButton");
        rig.prompter.answer({MessageAnswer::No});
        Click(&pc, "saveFileButton");
        QCOMPARE(Contents(path("restarted.csv")), Contents(path("whole.csv")));
    }

    void cancelStopsTheDownloadWithinABlock() {
        UiRig rig;
        sim::SimDevice& device = FindLogger(rig);
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        startDownload(rig, dialog, path("cancelled.csv"));
        // WHEN Cancel is pressed while block 4 is on its way
        int blockRequests = 0;
        rig.ports.loseReplyTo = [&](ByteSpan request) {
            if (IsLogBlockRequest(request) && ++blockRequests == 4) Click(&dialog, "cancelButton");
            return false;
        };
        Click(&dialog, "saveFileButton");
        // THEN no more blocks are asked for, nothing is written, logging is released, and the window stays usable
        QCOMPARE(blockRequests, 4);
        QVERIFY(rig.prompter.texts().empty());
        QVERIFY(filesInScratch().isEmpty());
        QCOMPARE(device.logStore()->state, std::uint8_t{0});
        QVERIFY2(!device.logStore()->close(3), "the file was closed on the transmitter");
        QVERIFY(dialog.isVisible());
        QVERIFY(Enabled(&dialog, "saveFileButton"));
        // WHEN Cancel is pressed again THEN the window closes
        Click(&dialog, "cancelButton");
        QVERIFY(!dialog.isVisible());
    }

    void pcModeNeedsBothPaths() {
        UiRig rig;
        rig.findDevice(kPort, "4402");
        cDataFileConversion dialog(rig.toolContext(), nullptr);
        dialog.show();
        QVERIFY2(!Enabled(&dialog, "instrumentRadio"), "a one-module transmitter keeps no logs");
        Click(&dialog, "saveFileButton");
        QCOMPARE(rig.prompter.shown(), (std::vector<Message>{{"Specify Input and Output files", "Error",
                                                              MessageIcon::Error, MessageButtons::Ok}}));
    }
};

QTEST_MAIN(DataFileConversionTest)
#include "data_file_conversion_test.moc"
