#pragma once
// cCalibration: the modal window "Calibration" behind the "Field
// Recalibration" buttons of the main window and of the Analog Output window.
// It shows what its CalibrationModel holds and passes the operator's actions
// on; the model runs the recalibration.

#include <QDialog>

#include "ui/tools/calibration/calibration_model.h"

class QLineEdit;
class QLabel;

namespace corvel {

class cCalibration final : public QDialog, private WindowHost {
    Q_OBJECT
public:
    explicit cCalibration(const ToolContext& context, QWidget* parent = nullptr);

    CalibrationModel& model() { return model_; }
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildFields();
    QWidget* buildButtons();
    // Runs an operator's action with the "Apply" text taken first.
    void act(void (CalibrationModel::*action)());

    void showValues() override;
    void processEvents() override;

    CalibrationModel model_;
    int running_ = 0;  // actions in progress (live loops nest the others)
    bool closeWhenIdle_ = false;
    int shownApplyValues_ = 0;  // the transmitter's proposals "Apply" has shown
    QLineEdit* numberOfPoints_ = nullptr;
    QLineEdit* currentPoint_ = nullptr;
    QLineEdit* apply_ = nullptr;
    CReadOnlyEdit* reading_ = nullptr;
    QLineEdit* minimum_ = nullptr;
    QLineEdit* maximum_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace corvel
