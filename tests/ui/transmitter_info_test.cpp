// The Transmitter Information window against the simulator: what opening
// reads and shows, early firmware, the room of the editable fields, and the
// requests that Save sends.
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

#include "tests/ui/ui_test_rig.h"
#include "ui/tools/transmitter_info/transmitter_info_view.h"

using namespace corvel;
using namespace corvel::testing;

namespace {

// The requests of one information record class that reach the simulator.
struct InfoRequests {
    explicit InfoRequests(UiRig& rig) {
        rig.ports.loseReplyTo = [this](ByteSpan request) {
            if (request.size() > offset::kCommand2 && request[offset::kCommand1] == kClassInfo)
                frames.emplace_back(request.begin(), request.end());
            return false;
        };
    }
    // Requests of the record (command byte 3) `record`.
    int ofRecord(std::uint8_t record) const {
        return static_cast<int>(std::count_if(frames.begin(), frames.end(),
                                              [&](const auto& f) { return f[offset::kCommand3] == record; }));
    }
    std::vector<std::vector<std::uint8_t>> frames;
};

QString LabelText(QWidget* window, const char* name) { return window->findChild<QLabel*>(name)->text(); }

}  // namespace

class TransmitterInfoTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsIdentityRangesAndTexts() {
        // GIVEN a compound gauge as P2, with a range of its own
        UiRig rig;
        sim::DeviceConfig config = *sim::ModelConfig("4402");
        config.p2.lowerLimit = -15.0f;
        config.p2.upperLimit = 300.0f;
        rig.findDevice(3, config);
        XmtrInfo window(rig.toolContext());
        window.show();
        QCOMPARE(window.windowTitle(), QString("Transmitter Information"));
        QCOMPARE(LabelText(&window, "serialnumber"), QString("SIM0000001"));
        QCOMPARE(LabelText(&window, "version"), QString("01.00"));
        QCOMPARE(LabelText(&window, "p1Line"), QString("P1:  GI   0-100(PSI)"));
        QCOMPARE(LabelText(&window, "p2Line"), QString("P2:  GI   -15-300(PSI)"));
        QCOMPARE(window.findChild<QLineEdit*>("tagEdit")->text(), QString("PT-100"));
        QVERIFY(window.findChild<QLineEdit*>("tagEdit")->isEnabled());
        QCOMPARE(LabelText(&window, "tagEditRoom"), QString("26 left"));
        // AND no caption is cut
        const QString cut = CutCaptions(&window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut));
        const QString misleading = MisleadingFields(&window);
        QVERIFY2(misleading.isEmpty(), qPrintable(misleading));
        QDir().mkpath(CORVEL_SCREENSHOT_DIR);
        QVERIFY(window.grab().save(QString(CORVEL_SCREENSHOT_DIR) + "/transmitter_information_window.png"));
    }

    void aSingleInputTransmitterNeverAsksForP2() {
        UiRig rig;
        rig.findDevice(3, "4400");
        InfoRequests requests(rig);
        XmtrInfo window(rig.toolContext());
        QCOMPARE(window.model().state().p2Line, std::string("  P2:  N/A"));
        QCOMPARE(requests.ofRecord(0x21), 0);
        QCOMPARE(requests.ofRecord(0x11), 1);
    }

    void earlyFirmwareDisablesTheThreeTexts() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "4402");
        device.memory(0x40).putText(0x00D2, 5, "00.90");
        XmtrInfo window(rig.toolContext());
        window.show();
        QVERIFY(!window.findChild<QLineEdit*>("tagEdit")->isEnabled());
        QVERIFY(!window.findChild<QPlainTextEdit*>("descriptionEdit")->isEnabled());
        QCOMPARE(window.findChild<QLineEdit*>("tagEdit")->text(), QString("PT-100"));
    }

    void anEmptyFirmwareVersionFallsBackToTheIdentitysVersion() {
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "4402");
        device.memory(0x40).putText(0x00D2, 5, "");
        XmtrInfo window(rig.toolContext());
        QCOMPARE(window.model().state().version, std::string("01.00"));
    }

    void theFieldsHoldWhatTheTransmitterStores() {
        UiRig rig;
        rig.findDevice(3, "4402");
        XmtrInfo window(rig.toolContext());
        window.show();
        auto* tag = window.findChild<QLineEdit*>("tagEdit");
        tag->clear();
        QTest::keyClicks(tag, QString(40, 'T'));
        QCOMPARE(tag->text().size(), 32);
        QCOMPARE(LabelText(&window, "tagEditRoom"), QString("0 left"));
        auto* description = window.findChild<QPlainTextEdit*>("descriptionEdit");
        description->setPlainText(QString(150, 'd'));
        QCOMPARE(description->toPlainText().size(), 128);
    }

    void theDescriptionWrapsInsteadOfScrollingSideways_data() {
        QTest::addColumn<QString>("stored");
        QTest::newRow("short") << QString("Simulated transmitter");
        QTest::newRow("one word filling the room") << QString(128, 'W');
        QTest::newRow("padded with blanks") << QString("Pump 3  ") + QString(100, ' ');
    }

    void theDescriptionWrapsInsteadOfScrollingSideways() {
        QFETCH(QString, stored);
        UiRig rig;
        sim::DeviceConfig config = *sim::ModelConfig("4402");
        config.description = stored.toStdString();
        rig.findDevice(3, config);
        XmtrInfo window(rig.toolContext());
        window.show();
        auto* description = window.findChild<QPlainTextEdit*>("descriptionEdit");
        QVERIFY(!description->horizontalScrollBar()->isVisible());
        QCOMPARE(description->toPlainText(), stored);
    }

    void saveSendsTheTwoRecordsInWindows1252() {
        // GIVEN the window, and texts with letters beyond ASCII
        UiRig rig;
        sim::SimDevice& device = rig.findDevice(3, "4402");
        XmtrInfo window(rig.toolContext());
        window.show();
        InfoRequests requests(rig);
        window.findChild<QLineEdit*>("tagEdit")->setText(QString::fromUtf8("T\u00dcV-7"));
        window.findChild<QLineEdit*>("assetEdit")->setText("A-9");
        window.findChild<QPlainTextEdit*>("descriptionEdit")->setPlainText(QString::fromUtf8("Kessel \u20ac"));
        // WHEN Save
        Click(&window, "saveButton");
        // THEN a 148-byte description request, then an 84-byte tag and asset request
        QCOMPARE(requests.frames.size(), std::size_t{2});
        QCOMPARE(requests.frames[0].size(), std::size_t{148});
        QCOMPARE(requests.frames[1].size(), std::size_t{84});
        QCOMPARE(std::string(device.tag().begin(), device.tag().begin() + 5), std::string("T\xDCV-7"));
        QCOMPARE(std::string(device.description().begin(), device.description().begin() + 8), std::string("Kessel \x80"));
        // AND a text Windows-1252 cannot hold is refused, with nothing sent
        requests.frames.clear();
        window.findChild<QLineEdit*>("assetEdit")->setText(QString::fromUtf8("\u2713"));
        Click(&window, "saveButton");
        QVERIFY(requests.frames.empty());
        QCOMPARE(rig.prompter.texts(), std::vector<std::string>{"The text of \"Asset No.\" holds a character that the transmitter cannot "
                                                                "store. Nothing was saved."});
    }
};

QTEST_MAIN(TransmitterInfoTest)
#include "transmitter_info_test.moc"
