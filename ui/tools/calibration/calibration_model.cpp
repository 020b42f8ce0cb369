#include "ui/tools/calibration/calibration_model.h"

#include "link/frame.h"
#include "link/reading_status.h"

namespace corvel {
namespace {

constexpr const char* kPointSaved = "Point Saved      ";
constexpr const char* kCalibrationSuccessful = "Calibration Successful      \n Click 'Finish Recal' to save and enable";
constexpr const char* kRestoreQuestion = "Restore to Factory Defaults?           ";
constexpr const char* kRestored = "Device restored to factory defaults";
constexpr int kCalExpired = 20;
constexpr int kFirstRefusal = 64;  // "Recal not allowed"; the refusals run to "out of sequence"
constexpr int kOutOfSequence = 70;

// The codes Next Point's live loop tells the operator about.
const char* NextPointReadingText(int code) {
    switch (code) {
        case 33: return "Meas hard over range";
        case 34: return "Temp soft over range";
        case 35: return "Temp hard over range";
        default: return nullptr;
    }
}

}  // namespace

CalibrationModel::CalibrationModel(const ToolContext& context, WindowHost& host)
    : context_(context),
      host_(host),
      notifier_(context.prompter),
      session_(LinkContext{context.comm, context.store, context.ports, notifier_, context.shared, context.exchanges}) {}

void CalibrationModel::open() {
    route_ = PressureModuleRoute(ReadStoredConnection(context_.store, context_.comm));
    session_.recalibration.recalChannel = 1;
    state_.applyEnabled = false;
    host_.showValues();
}

// A reading that did not come shows as dashes with the link's text, never as
// the last one that did.
bool CalibrationModel::readP1() {
    session_.ReadMeasurements(ChannelMask{.p1 = true}, route_, MinMax::Without, 1, 1);
    if (!session_.lastExchangeSucceeded) {
        state_.readingText = kDashedValue;
        state_.statusText = session_.statusText;
        return false;
    }
    state_.readingText = session_.p1.displayText;
    return true;
}

void CalibrationModel::takePoint(bool withApplyText) {
    state_.numberOfPoints = session_.recalibration.numberOfPoints;
    state_.currentPoint = session_.recalibration.currentPoint;
    if (withApplyText) {
        state_.applyText = session_.recalibration.applyValueText;
        ++state_.proposedApplyValues;
    }
    state_.minimumText = session_.recalibration.minimumValueText;
    state_.maximumText = session_.recalibration.maximumValueText;
}

template <typename OnReading>
void CalibrationModel::liveLoop(OnReading onReading) {
    lastReportedCode_ = 0;
    do {
        host_.processEvents();
        if (readP1()) onReading(session_.p1.statusCode);
        host_.showValues();
    } while (!stopRequested_);
}

void CalibrationModel::reportOnce(int code, const char* text) {
    if (code == lastReportedCode_) return;
    lastReportedCode_ = code;
    if (text) context_.prompter.error(text);
}

void CalibrationModel::startRecal() {
    state_.applyEnabled = true;
    savedPoints_ = 0;
    // A new recalibration shows live readings again, also after a completed one.
    stopRequested_ = false;
    if (session_.StartRecalibration(route_)) {
        reportStartRefusal();
        takePoint(true);
    } else {
        reportExchangeFailure();
    }
    liveLoop([this](int code) {
        const RecalReadingStatus status = RecalReadingStatusOf(code);
        if (status.text) state_.statusText = *status.text;
        if (status.alarm) state_.readingAlarm = *status.alarm;
        // The code stays visible in the status text; its box comes once per appearance.
        reportOnce(code, code == kCalExpired ? RecalPointStatusText(kCalExpired) : nullptr);
    });
}

void CalibrationModel::reportPointStatus(bool includingOutOfSequence) {
    const int code = session_.p1.statusCode;
    if (code == kOutOfSequence && !includingOutOfSequence) return;
    if (const char* text = RecalPointStatusText(code)) context_.prompter.error(text);
}

void CalibrationModel::reportStartRefusal() {
    // The reading's own codes come with the live loop; only a refusal is told here.
    const int code = session_.p1.statusCode;
    if (code >= kFirstRefusal && code <= kOutOfSequence) context_.prompter.error(RecalPointStatusText(code));
}

void CalibrationModel::reportExchangeFailure() {
    state_.statusText = session_.statusText;
    context_.prompter.error(session_.statusText);
    host_.showValues();
}

void CalibrationModel::savePoint() {
    session_.recalibration.applyValueText = state_.applyText;
    // Only the transmitter's own confirmation of this point counts it.
    if (!session_.SaveCalibrationPoint(route_)) {
        reportExchangeFailure();
        return;
    }
    reportPointStatus(false);
    if (session_.p1.statusCode != 0) return;
    ++savedPoints_;
    takePoint(false);
    if (savedPoints_ == state_.numberOfPoints) {
        context_.prompter.inform(kCalibrationSuccessful);
        stopRequested_ = true;
    } else if (savedPoints_ < state_.numberOfPoints) {
        context_.prompter.inform(kPointSaved);
    }
    host_.showValues();
}

void CalibrationModel::nextPoint() {
    stopRequested_ = false;
    session_.recalibration.applyValueText = state_.applyText;
    if (session_.ReadCalibrationPoint(route_)) {
        reportPointStatus(true);
        takePoint(true);
    } else {
        reportExchangeFailure();
    }
    liveLoop([this](int code) { reportOnce(code, NextPointReadingText(code)); });
}

void CalibrationModel::finishRecal() { session_.FinishRecalibration(route_); }

void CalibrationModel::zero() {
    const Message question{kZeroQuestion, kZeroCaption, MessageIcon::Warning, MessageButtons::YesNo};
    if (context_.prompter.show(question) != MessageAnswer::Yes) return;
    session_.ZeroChannels(ChannelMask{.p1 = true}, route_);
    if (const char* text = ZeroResultText(session_.p1.statusCode)) context_.prompter.error(text);
    host_.showValues();
}

void CalibrationModel::restoreFactoryDefaults() {
    stopRequested_ = true;
    const Message question{kRestoreQuestion, "Restore Defaults", MessageIcon::Warning, MessageButtons::YesNo};
    if (context_.prompter.show(question) != MessageAnswer::Yes) return;
    session_.RestoreFactoryCalibration(ChannelMask{.p1 = true}, route_);
    reportRestore();
    host_.showValues();
    stopRequested_ = false;
}

void CalibrationModel::reportRestore() {
    if (!session_.lastExchangeSucceeded) {
        reportExchangeFailure();
        return;
    }
    const int code = session_.p1.statusCode != 0 ? session_.p1.statusCode : session_.lastReplyStatus;
    if (code == 0) {
        context_.prompter.inform(kRestored);
        return;
    }
    const char* text = RecalPointStatusText(code);
    context_.prompter.error(text ? std::string(text) : StatusText(static_cast<std::uint8_t>(code)));
}

void CalibrationModel::close() {
    stopRequested_ = true;
    readP1();
}

}  // namespace corvel
