#include "ui/tools/calibration/calibration_view.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/tools/tool_widgets.h"
#include "ui/support/screen_fit.h"

namespace corvel {

cCalibration::cCalibration(const ToolContext& context, QWidget* parent) : QDialog(parent), model_(context, *this) {
    setWindowTitle("Calibration");
    auto* group = Named(new QGroupBox("Field Calibration", this), "fieldCalibrationGroup");
    auto* inside = new QHBoxLayout(group);
    inside->addWidget(buildFields(), 1);
    inside->addWidget(buildButtons());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    ScrollWhenLargerThanScreen(*this);
    model_.open();
}

QWidget* cCalibration::buildFields() {
    auto* fields = new QWidget(this);
    auto* grid = new QGridLayout(fields);
    numberOfPoints_ = NumberField(ReadOnlyField("numberOfPointsField", fields));
    currentPoint_ = NumberField(ReadOnlyField("currentPointField", fields));
    apply_ = NumberField(Named(new QLineEdit(fields), "applyEdit"));
    apply_->installEventFilter(this);
    reading_ = NumberField(Named(new CReadOnlyEdit(fields), "readingField"));
    minimum_ = NumberField(ReadOnlyField("minValueField", fields));
    maximum_ = NumberField(ReadOnlyField("maxValueField", fields));
    const std::pair<const char*, QWidget*> rows[] = {{"Number of Points", numberOfPoints_},
                                                     {"Current Point", currentPoint_},
                                                     {"Apply", apply_},
                                                     {"Reading", reading_},
                                                     {"Min Value", minimum_},
                                                     {"Max Value", maximum_}};
    int row = 0;
    for (const auto& [caption, widget] : rows) {
        grid->addWidget(new QLabel(caption, fields), row, 0);
        grid->addWidget(widget, row++, 1);
    }
    status_ = Named(new QLabel(fields), "statusText");
    status_->setMinimumWidth(220);
    // Room for two lines: the link's failure texts are long.
    status_->setWordWrap(true);
    status_->setMinimumHeight(2 * status_->fontMetrics().lineSpacing());
    grid->addWidget(status_, row, 0, 1, 2);
    return fields;
}

QWidget* cCalibration::buildButtons() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    const std::tuple<const char*, const char*, void (CalibrationModel::*)()> buttons[] = {
        {"Start Recal", "startRecalButton", &CalibrationModel::startRecal},
        {"&Zero", "zeroButton", &CalibrationModel::zero},
        {"&Save Point", "savePointButton", &CalibrationModel::savePoint},
        {"&Next Point", "nextPointButton", &CalibrationModel::nextPoint},
        {"Finish Recal", "finishRecalButton", &CalibrationModel::finishRecal},
        {"&Restore Factory Defaults", "restoreButton", &CalibrationModel::restoreFactoryDefaults}};
    for (const auto& [caption, name, action] : buttons) {
        auto* button = Named(new QPushButton(caption, column), name);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, [this, action = action] { act(action); });
        layout->addWidget(button);
    }
    layout->addStretch(1);
    auto* close = Named(new QPushButton("Close", column), "closeButton");
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &cCalibration::reject);
    layout->addWidget(close);
    return column;
}

void cCalibration::act(void (CalibrationModel::*action)()) {
    model_.takeApplyText(apply_->text().toStdString());
    ++running_;
    (model_.*action)();
    --running_;
    showValues();
    if (closeWhenIdle_ && running_ == 0) QDialog::reject();
}

bool cCalibration::eventFilter(QObject* watched, QEvent* event) {
    // Clicking into "Apply" stops the live reading, so that the value can be typed.
    if (watched == apply_ && event->type() == QEvent::FocusIn) model_.applyFocused();
    return QDialog::eventFilter(watched, event);
}

void cCalibration::reject() {
    model_.close();
    if (running_ > 0) {
        closeWhenIdle_ = true;  // the live loop ends at its next turn, then the window closes
        return;
    }
    QDialog::reject();
}

void cCalibration::showValues() {
    const CalibrationState& state = model_.state();
    SetText(numberOfPoints_, Text(std::to_string(state.numberOfPoints)));
    SetText(currentPoint_, Text(std::to_string(state.currentPoint)));
    // What the operator is typing stays, unless the transmitter proposed a new point since.
    if (!apply_->hasFocus() || state.proposedApplyValues != shownApplyValues_) SetText(apply_, Text(state.applyText));
    shownApplyValues_ = state.proposedApplyValues;
    apply_->setEnabled(state.applyEnabled);
    SetText(reading_, Text(state.readingText));
    reading_->setBackgroundColour(state.readingAlarm ? kAlarmFieldColour : kNormalFieldColour);
    SetText(minimum_, Text(state.minimumText));
    SetText(maximum_, Text(state.maximumText));
    status_->setText(QString::fromStdString(state.statusText));
}

void cCalibration::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace corvel
