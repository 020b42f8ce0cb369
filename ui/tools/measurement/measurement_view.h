#pragma once
// cConfigDlg: the modal window "Configuration" behind the main window's
// "Measurement/Configuration" button. It shows what its MeasurementModel
// holds and passes the operator's actions on; the model runs the sequences.

#include <QDialog>
#include <chrono>
#include <functional>

#include "ui/tools/measurement/measurement_model.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace corvel {

class CReadOnlyEdit;
class ScreenBoundScrollArea;
class TrendPlot;

// The widgets of one pressure input's frame.
struct PressureWidgets {
    QGroupBox* frame = nullptr;
    QLabel* label = nullptr;
    QRadioButton* precision = nullptr;
    QRadioButton* accuracy = nullptr;
    CReadOnlyEdit* value = nullptr;
    QLineEdit* minimum = nullptr;
    QLineEdit* maximum = nullptr;
    QLabel* status = nullptr;
    QLineEdit* unitCode = nullptr;
    QPushButton* unitUp = nullptr;
    QPushButton* unitDown = nullptr;
    QLabel* unitName = nullptr;
    QCheckBox* dampingOn = nullptr;
    QLineEdit* dampingTime = nullptr;
    QPushButton* dampingSet = nullptr;
    QRadioButton* exponential = nullptr;
    QRadioButton* smart = nullptr;
};

class cConfigDlg final : public QDialog, private MeasurementHost {
    Q_OBJECT
public:
    using Waiter = std::function<void(std::chrono::milliseconds, const std::function<bool()>& stop)>;

    explicit cConfigDlg(const ToolContext& context, QWidget* parent = nullptr);
    ~cConfigDlg() override;

    MeasurementModel& model() { return model_; }
    // Tests replace the real waits (which take real time) here.
    void setWaiter(Waiter waiter) { waiter_ = std::move(waiter); }

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildLayout(const ToolContext& context);
    void fitToScreen();
    void showPlotSettings(const MeasurementState& state);
    QGroupBox* buildMeasurementGroup();
    QGroupBox* buildPressureFrame(PressureInput input, PressureWidgets& w);
    QWidget* buildDampingGroup(PressureInput input, PressureWidgets& w, QWidget* parent);
    QGroupBox* buildCollectionGroup();
    void connectPressure(PressureInput input, PressureWidgets& w);
    void showPressure(const PressureState& state, PressureWidgets& w, bool idle, bool unitsKnown);
    bool takeControlValues();
    void stopActivity();

    // MeasurementHost
    void showValues() override;
    void processEvents() override;
    void wait(std::chrono::milliseconds duration, const std::function<bool()>& stop) override;
    void setWaitCursor(bool on) override;
    void readingTaken(const TrendReading& reading) override;
    void readingMissed() override;

    MeasurementModel model_;
    Waiter waiter_;
    bool waitCursor_ = false;
    bool closeWhenIdle_ = false;
    bool fitted_ = false;
    Activity plottedActivity_ = Activity::Idle;

    PressureWidgets p1_;
    PressureWidgets p2_;
    CReadOnlyEdit* temperature_ = nullptr;
    QRadioButton* celsius_ = nullptr;
    QRadioButton* fahrenheit_ = nullptr;
    QPushButton* read_ = nullptr;
    QPushButton* readStop_ = nullptr;
    QPushButton* zero_ = nullptr;
    ScreenBoundScrollArea* scroll_ = nullptr;
    TrendPlot* plot_ = nullptr;
    QCheckBox* plotOn_ = nullptr;
    QCheckBox* resetMinMax_ = nullptr;
    QLineEdit* interval_ = nullptr;
    QLineEdit* samples_ = nullptr;
    QLineEdit* counter_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* collectStop_ = nullptr;
    QPushButton* file_ = nullptr;
    QLineEdit* path_ = nullptr;
    QCheckBox* append_ = nullptr;
};

}  // namespace corvel
