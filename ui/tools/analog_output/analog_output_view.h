#pragma once
// AnalogOutput: the modal window "Analog" behind the main window's "Analog
// Output" button. It shows what its AnalogOutputModel holds and passes the
// operator's actions on; the model runs the sequences and the rules.

#include <QDialog>
#include <array>
#include <chrono>
#include <functional>

#include "ui/tools/analog_output/analog_output_model.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace corvel {

struct AlarmWidgets {
    QGroupBox* group = nullptr;
    QRadioButton* closed = nullptr;
    QRadioButton* open = nullptr;
    QRadioButton* inactive = nullptr;
    QLabel* when = nullptr;
    QComboBox* condition = nullptr;
    std::array<QLabel*, 3> labels{};
    std::array<QLineEdit*, 3> edits{};
};

class AnalogOutput final : public QDialog, private WindowHost {
    Q_OBJECT
public:
    // `pause` waits after a zero (tests hand in one that does not wait).
    using Pause = std::function<void(std::chrono::milliseconds)>;

    explicit AnalogOutput(const ToolContext& context, QWidget* parent = nullptr, Pause pause = {});

    AnalogOutputModel& model() { return model_; }
    void reject() override;

private:
    QGroupBox* buildPressureGroup();
    QGroupBox* buildTransmitterAlarmGroup();
    QGroupBox* buildOutputGroup();
    QGroupBox* buildAlarmGroup(std::size_t index);
    QWidget* buildButtons();
    QLineEdit* editableField(AoField field, const QString& name);
    // The ten texts; a field typed into counts as edited even before it loses focus.
    std::array<std::string, kAoFieldCount> typedTexts();
    void handle(const std::function<void()>& action);
    void focusOn(AoField field);
    // The controls from the model; a field whose text was no number keeps it and has the focus.
    void showValues() override;
    void wait(std::chrono::milliseconds duration, const std::function<bool()>& stop) override;
    void showChoices();
    void showFieldTexts();
    void showAlarm(std::size_t index);

    ToolContext context_;
    Pause pause_;
    AnalogOutputModel model_;
    std::array<QLineEdit*, kAoFieldCount> fields_{};
    QGroupBox* pressure_ = nullptr;
    QLineEdit* measurement_ = nullptr;
    QLineEdit* lsl_ = nullptr;
    QLineEdit* usl_ = nullptr;
    QLineEdit* minimumSpan_ = nullptr;
    QRadioButton* alarmHi_ = nullptr;
    QRadioButton* alarmInactive_ = nullptr;
    QLabel* alarmLevel_ = nullptr;
    QGroupBox* output_ = nullptr;
    QRadioButton* volts_ = nullptr;
    QRadioButton* current_ = nullptr;
    std::array<AlarmWidgets, 2> alarms_;
};

}  // namespace corvel
