#pragma once
// The Calibration window without its widgets: the guided multi-point
// recalibration of P1 (start, the live reading loops, save point, next
// point, finish), zero and the restore of the factory calibration. The
// transmitter runs the recalibration; the model sequences the operator's
// requests against its own DeviceSession and reports the answers through
// the Prompter.

#include <string>

#include "link/device_session.h"
#include "ui/support/window_host.h"
#include "ui/support/prompter_notifier.h"
#include "ui/tools/read_only_edit.h"
#include "link/stored_connection.h"
#include "ui/tools/tool_context.h"

namespace corvel {

struct CalibrationState {
    int numberOfPoints = 0;
    int currentPoint = 0;
    std::string applyText;
    // Counts the apply values the transmitter proposed: a new one is shown
    // even in a field the operator is typing in.
    int proposedApplyValues = 0;
    bool applyEnabled = false;
    std::string readingText;
    bool readingAlarm = false;  // light red, else light grey
    std::string minimumText;
    std::string maximumText;
    std::string statusText;
};

class CalibrationModel {
public:
    CalibrationModel(const ToolContext& context, WindowHost& host);

    const CalibrationState& state() const { return state_; }
    bool stopRequested() const { return stopRequested_; }
    int savedPoints() const { return savedPoints_; }
    const DeviceSession& session() const { return session_; }

    void open();
    // The operator's "Apply" text, taken before every step.
    void takeApplyText(const std::string& text) { state_.applyText = text; }

    void startRecal();
    void applyFocused() { stopRequested_ = true; }  // the display stands still for typing
    void savePoint();
    void nextPoint();
    void finishRecal();
    void zero();
    void restoreFactoryDefaults();
    void close();

private:
    // A live loop: `onReading` runs after each reading of P1.
    template <typename OnReading>
    void liveLoop(OnReading onReading);
    bool readP1();
    void takePoint(bool withApplyText);
    void reportPointStatus(bool includingOutOfSequence);
    // The link's text of an exchange that failed, in the status text and a box.
    void reportExchangeFailure();
    void reportStartRefusal();
    void reportRestore();
    // A box for a code when it first appears in this loop run or after it changed.
    void reportOnce(int code, const char* text);

    ToolContext context_;
    WindowHost& host_;
    PrompterNotifier notifier_;
    DeviceSession session_;
    RouteBlock route_{};
    CalibrationState state_;
    int savedPoints_ = 0;
    bool stopRequested_ = false;
    int lastReportedCode_ = 0;
};

}  // namespace corvel
