#include "ui/tools/analog_output/analog_output_view.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QVBoxLayout>

#include "ui/tools/tool_widgets.h"
#include "ui/support/screen_fit.h"

namespace corvel {
namespace {

void BlockingPause(std::chrono::milliseconds duration) {
    QThread::msleep(static_cast<unsigned long>(duration.count()));
}

}  // namespace

AnalogOutput::AnalogOutput(const ToolContext& context, QWidget* parent, Pause pause)
    : QDialog(parent), context_(context), pause_(pause ? std::move(pause) : BlockingPause), model_(context, *this) {
    setWindowTitle("Analog");
    auto* layout = new QGridLayout(this);
    layout->addWidget(buildPressureGroup(), 0, 0);
    layout->addWidget(buildTransmitterAlarmGroup(), 0, 1);
    layout->addWidget(buildOutputGroup(), 1, 0);
    layout->addWidget(buildAlarmGroup(0), 2, 0);
    layout->addWidget(buildAlarmGroup(1), 2, 1);
    layout->addWidget(buildButtons(), 3, 0, 1, 2);
    ScrollWhenLargerThanScreen(*this);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.open();
    QApplication::restoreOverrideCursor();
    showValues();
}

QLineEdit* AnalogOutput::editableField(AoField field, const QString& name) {
    auto* edit = NumberField(Named(new QLineEdit(this), name));
    fields_[static_cast<std::size_t>(field)] = edit;
    // Only a field whose text the operator changed counts as edited when it loses focus.
    connect(edit, &QLineEdit::editingFinished, this, [this, field] { model_.markEdited(field); });
    return edit;
}

QGroupBox* AnalogOutput::buildPressureGroup() {
    pressure_ = Named(new QGroupBox("Pressure (PSI)", this), "pressureGroup");
    auto* grid = new QGridLayout(pressure_);
    measurement_ = NumberField(ReadOnlyField("measurementField", pressure_));
    lsl_ = NumberField(ReadOnlyField("lslField", pressure_));
    usl_ = NumberField(ReadOnlyField("uslField", pressure_));
    minimumSpan_ = NumberField(ReadOnlyField("minSpanField", pressure_));
    const std::pair<const char*, QWidget*> rows[] = {
        {"Measurement", measurement_}, {"LSL", lsl_}, {"USL", usl_}, {"Min Span", minimumSpan_},
        {"LRV", editableField(AoField::Lrv, "lrvEdit")}, {"URV", editableField(AoField::Urv, "urvEdit")}};
    int row = 0;
    for (const auto& [caption, widget] : rows) {
        grid->addWidget(new QLabel(caption, pressure_), row, 0);
        grid->addWidget(widget, row++, 1);
    }
    auto* zero = ToolButton("Zero", "zeroButton", pressure_);
    // Zero changes only the measurement shown.
    connect(zero, &QPushButton::clicked, this, [this] {
        model_.zero();
        SetText(measurement_, Text(model_.state().measurementText));
    });
    grid->addWidget(zero, row, 1);
    return pressure_;
}

QGroupBox* AnalogOutput::buildTransmitterAlarmGroup() {
    auto* group = Named(new QGroupBox("Transmitter Alarm", this), "transmitterAlarmGroup");
    auto* layout = new QVBoxLayout(group);
    alarmHi_ = Named(new QRadioButton("Hi", group), "alarmHiRadio");
    alarmInactive_ = Named(new QRadioButton("Inactive", group), "alarmInactiveRadio");
    alarmLevel_ = Named(new QLabel(group), "alarmLevel");
    layout->addWidget(alarmHi_);
    layout->addWidget(alarmInactive_);
    layout->addWidget(alarmLevel_);
    layout->addStretch(1);
    connect(alarmHi_, &QRadioButton::clicked, this, [this] { handle([this] { model_.chooseTransmitterAlarm(1); }); });
    connect(alarmInactive_, &QRadioButton::clicked, this,
            [this] { handle([this] { model_.chooseTransmitterAlarm(0); }); });
    return group;
}

QGroupBox* AnalogOutput::buildOutputGroup() {
    output_ = Named(new QGroupBox("Output (V)", this), "outputGroup");
    auto* grid = new QGridLayout(output_);
    volts_ = Named(new QRadioButton("Volts (V)", output_), "voltsRadio");
    current_ = Named(new QRadioButton("Current (mA)", output_), "currentRadio");
    grid->addWidget(volts_, 0, 0);
    grid->addWidget(current_, 0, 1);
    grid->addWidget(new QLabel("AO @ LRV", output_), 1, 0);
    grid->addWidget(editableField(AoField::AoAtLrv, "aoLrvEdit"), 1, 1);
    grid->addWidget(new QLabel("AO @ URV", output_), 2, 0);
    grid->addWidget(editableField(AoField::AoAtUrv, "aoUrvEdit"), 2, 1);
    connect(volts_, &QRadioButton::clicked, this,
            [this] { handle([this] { model_.chooseOutput(OutputType::Volts); }); });
    connect(current_, &QRadioButton::clicked, this,
            [this] { handle([this] { model_.chooseOutput(OutputType::Current); }); });
    return output_;
}

QGroupBox* AnalogOutput::buildAlarmGroup(std::size_t index) {
    const QString name = QString("alarm%1").arg(index + 1);
    AlarmWidgets& w = alarms_[index];
    w.group = Named(new QGroupBox(QString("Alarm %1 (PSI)").arg(index + 1), this), name + "Group");
    auto* grid = new QGridLayout(w.group);
    w.closed = Named(new QRadioButton("Closed", w.group), name + "Closed");
    w.open = Named(new QRadioButton("Open", w.group), name + "Open");
    w.inactive = Named(new QRadioButton("Inactive", w.group), name + "Inactive");
    grid->addWidget(w.closed, 0, 0);
    grid->addWidget(w.open, 0, 1);
    grid->addWidget(w.inactive, 0, 2);
    w.when = new QLabel("when", w.group);
    w.condition = Named(new QComboBox(w.group), name + "Condition");
    for (const char* text : kConditionTexts) w.condition->addItem(text);
    grid->addWidget(w.when, 1, 0);
    grid->addWidget(w.condition, 1, 1, 1, 2);
    const bool first = index == 0;
    const std::array<AoField, 3> fields =
        first ? std::array{AoField::Alarm1Value1, AoField::Alarm1Value2, AoField::Alarm1Deadband}
              : std::array{AoField::Alarm2Value1, AoField::Alarm2Value2, AoField::Alarm2Deadband};
    const std::array<const char*, 3> names = {"Value1", "Value2", "Deadband"};
    for (std::size_t i = 0; i < 3; ++i) {
        w.labels[i] = Named(new QLabel(w.group), name + names[i] + "Label");
        w.edits[i] = editableField(fields[i], name + names[i]);
        grid->addWidget(w.labels[i], 2 + static_cast<int>(i), 0);
        grid->addWidget(w.edits[i], 2 + static_cast<int>(i), 1, 1, 2);
    }
    const auto state = [this, index](std::uint8_t value) {
        return [this, index, value] { handle([this, index, value] { model_.chooseAlarmState(index, value); }); };
    };
    connect(w.closed, &QRadioButton::clicked, this, state(kAlarmClosed));
    connect(w.open, &QRadioButton::clicked, this, state(kAlarmOpen));
    connect(w.inactive, &QRadioButton::clicked, this, state(kAlarmInactive));
    connect(w.condition, &QComboBox::activated, this,
            [this, index](int position) { handle([this, index, position] { model_.chooseCondition(index, position); }); });
    return w.group;
}

QWidget* AnalogOutput::buildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    auto* reset = ToolButton("Reset Defaults", "resetDefaultsButton", row);
    auto* recal = ToolButton("Field Recal", "fieldRecalButton", row);
    auto* save = ToolButton("Save Values", "saveValuesButton", row);
    auto* close = ToolButton("Close", "closeButton", row);
    connect(reset, &QPushButton::clicked, this, [this] { handle([this] { model_.resetDefaults(); }); });
    connect(recal, &QPushButton::clicked, this,
            [this] { context_.tools.open(ToolWindow::FieldRecalibration, this); });
    connect(save, &QPushButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        model_.save(typedTexts());
        QApplication::restoreOverrideCursor();
        showValues();
    });
    connect(close, &QPushButton::clicked, this, &AnalogOutput::reject);
    layout->addWidget(reset);
    layout->addWidget(recal);
    layout->addStretch(1);
    layout->addWidget(save);
    layout->addWidget(close);
    return row;
}

// ---- Operator actions ------------------------------------------------------------------

std::array<std::string, kAoFieldCount> AnalogOutput::typedTexts() {
    std::array<std::string, kAoFieldCount> texts;
    for (std::size_t i = 0; i < kAoFieldCount; ++i) {
        if (fields_[i]->isModified()) model_.markEdited(static_cast<AoField>(i));
        texts[i] = fields_[i]->text().toStdString();
    }
    return texts;
}

// Every handler takes the fields first, as the window's values; a field that
// is no number stops it.
void AnalogOutput::handle(const std::function<void()>& action) {
    if (model_.takeTexts(typedTexts())) action();
    showValues();
}

void AnalogOutput::focusOn(AoField field) {
    QLineEdit* edit = fields_[static_cast<std::size_t>(field)];
    edit->setFocus();
    edit->selectAll();
}

// Cancel leaves every field as the operator typed it.
void AnalogOutput::wait(std::chrono::milliseconds duration, const std::function<bool()>&) { pause_(duration); }

void AnalogOutput::reject() {
    if (model_.close(typedTexts())) {
        QDialog::reject();
    } else if (const std::optional<AoField> field = model_.notANumber()) {
        focusOn(*field);
    }
}

// ---- Display -----------------------------------------------------------------------------

void AnalogOutput::showValues() {
    showChoices();
    if (const std::optional<AoField> field = model_.notANumber()) {
        focusOn(*field);
    } else {
        showFieldTexts();
    }
}

void AnalogOutput::showChoices() {
    const AnalogOutputState& state = model_.state();
    const AnalogOutputSettings& settings = model_.settings();
    pressure_->setTitle(Text(state.pressureCaption));
    SetText(measurement_, Text(state.measurementText));
    SetText(lsl_, Text(state.lslText));
    SetText(usl_, Text(state.uslText));
    SetText(minimumSpan_, Text(state.minimumSpanText));
    alarmHi_->setChecked(state.transmitterAlarmHi);
    alarmInactive_->setChecked(!state.transmitterAlarmHi);
    alarmLevel_->setText(Text(state.alarmLevelText));
    output_->setTitle(Text(state.outputCaption));
    volts_->setChecked(settings.output == OutputType::Volts);
    current_->setChecked(settings.output == OutputType::Current);
    for (std::size_t i = 0; i < 2; ++i) showAlarm(i);
}

void AnalogOutput::showFieldTexts() {
    for (std::size_t i = 0; i < kAoFieldCount; ++i) {
        SetText(fields_[i], Text(ShownText(model_.state(), static_cast<AoField>(i))));
        fields_[i]->setModified(false);
    }
}

void AnalogOutput::showAlarm(std::size_t index) {
    const AlarmState& alarmState = model_.state().alarms[index];
    const AlarmSettings& alarm = model_.settings().alarms[index];
    AlarmWidgets& w = alarms_[index];
    if (!alarmState.caption.empty()) w.group->setTitle(Text(alarmState.caption));
    w.closed->setChecked(alarm.state == kAlarmClosed);
    w.open->setChecked(alarm.state == kAlarmOpen);
    w.inactive->setChecked(alarm.state != kAlarmClosed && alarm.state != kAlarmOpen);
    w.condition->setCurrentIndex(alarm.condition >= 0 && alarm.condition < w.condition->count() ? alarm.condition : -1);
    const std::array<bool, 3> shown = {alarmState.controlsShown, alarmState.value2Shown, alarmState.controlsShown};
    for (QWidget* control : {static_cast<QWidget*>(w.when), static_cast<QWidget*>(w.condition)}) {
        control->setVisible(alarmState.controlsShown);
        control->setEnabled(alarmState.controlsShown);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        w.labels[i]->setText(Text(alarmState.labels[i]));
        w.labels[i]->setVisible(shown[i]);
        w.edits[i]->setVisible(shown[i]);
        w.edits[i]->setEnabled(shown[i]);
    }
}

}  // namespace corvel
