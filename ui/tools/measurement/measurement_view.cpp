#include "ui/tools/measurement/measurement_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/support/screen_fit.h"
#include "ui/tools/read_only_edit.h"
#include "ui/tools/tool_widgets.h"
#include "ui/tools/measurement/trend_plot.h"

namespace corvel {
namespace {

constexpr auto kResponsiveSlice = std::chrono::milliseconds(50);

QColor ColourOf(FieldColour colour) { return colour == FieldColour::Alarm ? kAlarmFieldColour : kNormalFieldColour; }

// The real waits: a plain one blocks, a responsive one keeps the window
// working in short slices and ends soon after `stop` says so.
void WaitInRealTime(std::chrono::milliseconds duration, const std::function<bool()>& stop) {
    if (!stop) {
        QThread::msleep(static_cast<unsigned long>(duration.count()));
        return;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    while (!stop() && elapsed.elapsed() < duration.count()) {
        const auto left = duration.count() - elapsed.elapsed();
        QEventLoop slice;
        QTimer::singleShot(static_cast<int>(std::min<qint64>(left, kResponsiveSlice.count())), &slice,
                           &QEventLoop::quit);
        slice.exec();
    }
}

}  // namespace

cConfigDlg::cConfigDlg(const ToolContext& context, QWidget* parent)
    : QDialog(parent), model_(context, *this), waiter_(WaitInRealTime) {
    setWindowTitle("Configuration");
    buildLayout(context);
    model_.open();
}

cConfigDlg::~cConfigDlg() {
    if (waitCursor_) QApplication::restoreOverrideCursor();
}

// ---- Layout ------------------------------------------------------------------------

void cConfigDlg::buildLayout(const ToolContext& context) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildMeasurementGroup());
    plot_ = new TrendPlot(context.files, context.prompter, this);
    plot_->setIdentitySource([this] { return model_.identity(); });
    plotOn_ = Named(new QCheckBox("Trend plot", this), "plotCheck");
    plotOn_->setChecked(true);
    connect(plotOn_, &QCheckBox::toggled, plot_, &QWidget::setVisible);
    layout->addWidget(plotOn_);
    layout->addWidget(plot_, 1);
    layout->addWidget(buildCollectionGroup());

    auto* close = ToolButton("Close", "closeButton", this);
    connect(close, &QPushButton::clicked, this, &cConfigDlg::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    scroll_ = &ScrollWhenLargerThanScreen(*this, bottom);
}

// On a screen too small for the whole window the plot folds away first; where
// the rest is still too large, the contents scroll.
void cConfigDlg::fitToScreen() {
    if (plotOn_->isChecked() && scroll_->widget()->minimumSizeHint().height() > scroll_->room().height()) {
        plotOn_->setChecked(false);
    }
    resize(sizeHint().boundedTo(UsableScreenSize(this)));
}

void cConfigDlg::showEvent(QShowEvent* event) {
    if (!fitted_) {
        fitted_ = true;
        fitToScreen();
    }
    QDialog::showEvent(event);
}

QGroupBox* cConfigDlg::buildMeasurementGroup() {
    auto* group = Named(new QGroupBox("Measurement/Configuration", this), "measurementGroup");
    auto* layout = new QVBoxLayout(group);
    auto* inputs = new QHBoxLayout;
    inputs->addWidget(buildPressureFrame(PressureInput::P1, p1_));
    inputs->addWidget(buildPressureFrame(PressureInput::P2, p2_));
    layout->addLayout(inputs);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new QLabel("Internal Temp.", group));
    temperature_ = NumberField(Named(new CReadOnlyEdit(group), "temperatureValue"));
    bottom->addWidget(temperature_);
    celsius_ = Named(new QRadioButton(QString::fromUtf8("\u00B0C"), group), "celsiusRadio");
    fahrenheit_ = Named(new QRadioButton(QString::fromUtf8("\u00B0F"), group), "fahrenheitRadio");
    bottom->addWidget(celsius_);
    bottom->addWidget(fahrenheit_);
    bottom->addStretch(1);
    read_ = ToolButton("Read", "readButton", group);
    readStop_ = ToolButton("Stop", "readStopButton", group);
    zero_ = ToolButton("Zero", "zeroButton", group);
    for (QPushButton* button : {read_, readStop_, zero_}) bottom->addWidget(button);
    layout->addLayout(bottom);

    connect(celsius_, &QRadioButton::clicked, this, [this] { model_.chooseTemperatureUnit(false); });
    connect(fahrenheit_, &QRadioButton::clicked, this, [this] { model_.chooseTemperatureUnit(true); });
    connect(read_, &QPushButton::clicked, this, [this] {
        model_.read();
        if (closeWhenIdle_) QDialog::reject();
    });
    connect(readStop_, &QPushButton::clicked, this, &cConfigDlg::stopActivity);
    connect(zero_, &QPushButton::clicked, this, [this] { model_.zero(); });
    return group;
}

QGroupBox* cConfigDlg::buildPressureFrame(PressureInput input, PressureWidgets& w) {
    const QString name = input == PressureInput::P1 ? "p1" : "p2";
    w.frame = Named(new QGroupBox(this), name + "Frame");
    auto* grid = new QGridLayout(w.frame);
    w.label = Named(new QLabel(w.frame), name + "Label");
    w.precision = Named(new QRadioButton("Precision", w.frame), name + "Precision");
    w.accuracy = Named(new QRadioButton("Accuracy", w.frame), name + "Accuracy");
    grid->addWidget(w.label, 0, 0);
    grid->addWidget(w.precision, 0, 1);
    grid->addWidget(w.accuracy, 0, 2);

    w.value = NumberField(Named(new CReadOnlyEdit(w.frame), name + "Value"));
    w.minimum = NumberField(ReadOnlyField(name + "Min", w.frame));
    w.maximum = NumberField(ReadOnlyField(name + "Max", w.frame));
    grid->addWidget(new QLabel("Measurement", w.frame), 1, 0);
    grid->addWidget(new QLabel("Min", w.frame), 1, 1);
    grid->addWidget(new QLabel("Max", w.frame), 1, 2);
    grid->addWidget(w.value, 2, 0);
    grid->addWidget(w.minimum, 2, 1);
    grid->addWidget(w.maximum, 2, 2);

    auto* status = new QHBoxLayout;
    status->addWidget(new QLabel("Status:", w.frame));
    w.status = Named(new QLabel(w.frame), name + "Status");
    status->addWidget(w.status, 1);
    grid->addLayout(status, 3, 0, 1, 3);

    auto* units = new QHBoxLayout;
    units->addWidget(new QLabel("Engineering Units", w.frame));
    w.unitCode = NumberField(Named(new QLineEdit(w.frame), name + "UnitCode"));
    w.unitCode->setMaximumWidth(48);
    w.unitUp = ToolButton(QString::fromUtf8("\u25B2"), name + "UnitUp", w.frame);
    w.unitDown = ToolButton(QString::fromUtf8("\u25BC"), name + "UnitDown", w.frame);
    for (QPushButton* arrow : {w.unitUp, w.unitDown}) arrow->setMaximumWidth(28);
    w.unitName = Named(new QLabel(w.frame), name + "UnitName");
    units->addWidget(w.unitCode);
    units->addWidget(w.unitUp);
    units->addWidget(w.unitDown);
    units->addWidget(w.unitName, 1);
    grid->addLayout(units, 4, 0, 1, 3);
    grid->addWidget(buildDampingGroup(input, w, w.frame), 5, 0, 1, 3);
    connectPressure(input, w);
    return w.frame;
}

QWidget* cConfigDlg::buildDampingGroup(PressureInput input, PressureWidgets& w, QWidget* parent) {
    const QString name = input == PressureInput::P1 ? "p1" : "p2";
    auto* group = Named(new QGroupBox("Damping (sec)", parent), name + "DampingGroup");
    auto* grid = new QGridLayout(group);
    w.dampingOn = Named(new QCheckBox("On", group), name + "DampingOn");
    w.dampingTime = NumberField(Named(new QLineEdit(group), name + "DampingTime"));
    w.dampingTime->setMaximumWidth(64);
    w.dampingSet = ToolButton("Set", name + "DampingSet", group);
    w.exponential = Named(new QRadioButton("Exponential", group), name + "Exponential");
    w.smart = Named(new QRadioButton("Smart", group), name + "Smart");
    grid->addWidget(w.dampingOn, 0, 0);
    grid->addWidget(w.dampingTime, 0, 1);
    grid->addWidget(w.dampingSet, 0, 2);
    grid->addWidget(w.exponential, 1, 0);
    grid->addWidget(w.smart, 1, 1);
    return group;
}

void cConfigDlg::connectPressure(PressureInput input, PressureWidgets& w) {
    connect(w.precision, &QRadioButton::clicked, this, [this, input] { model_.chooseDigits(input, true); });
    connect(w.accuracy, &QRadioButton::clicked, this, [this, input] { model_.chooseDigits(input, false); });
    connect(w.unitUp, &QPushButton::clicked, this, [this, input] { model_.stepUnit(input, 1); });
    connect(w.unitDown, &QPushButton::clicked, this, [this, input] { model_.stepUnit(input, -1); });
    connect(w.unitCode, &QLineEdit::editingFinished, this, &cConfigDlg::takeControlValues);
    connect(w.dampingOn, &QCheckBox::clicked, this, [this, input](bool on) { model_.switchDamping(input, on); });
    connect(w.dampingSet, &QPushButton::clicked, this, [this, input, &w] {
        takeControlValues();
        model_.setDampingTime(input, w.dampingTime->text().toStdString());
    });
    connect(w.exponential, &QRadioButton::clicked, this, [this, input] { model_.chooseDampingMode(input, false); });
    connect(w.smart, &QRadioButton::clicked, this, [this, input] { model_.chooseDampingMode(input, true); });
}

QGroupBox* cConfigDlg::buildCollectionGroup() {
    auto* group = Named(new QGroupBox("Data Collection", this), "collectionGroup");
    auto* grid = new QGridLayout(group);
    resetMinMax_ = Named(new QCheckBox("Reset Min/Max", group), "resetMinMaxCheck");
    interval_ = NumberField(Named(new QLineEdit(group), "intervalEdit"));
    samples_ = NumberField(Named(new QLineEdit(group), "samplesEdit"));
    counter_ = NumberField(ReadOnlyField("counterField", group));
    start_ = ToolButton("Start", "startButton", group);
    collectStop_ = ToolButton("Stop", "collectStopButton", group);
    file_ = ToolButton("File", "fileButton", group);
    path_ = ReadOnlyField("pathField", group);
    append_ = Named(new QCheckBox("Append Current Readings to Specified File", group), "appendCheck");

    grid->addWidget(resetMinMax_, 0, 0);
    grid->addWidget(new QLabel("Interval (sec)", group), 0, 1);
    grid->addWidget(interval_, 0, 2);
    grid->addWidget(new QLabel("Number of Samples", group), 0, 3);
    grid->addWidget(samples_, 0, 4);
    grid->addWidget(counter_, 0, 5);
    grid->addWidget(start_, 0, 6);
    grid->addWidget(collectStop_, 0, 7);
    grid->addWidget(file_, 1, 0);
    grid->addWidget(path_, 1, 1, 1, 7);
    grid->addWidget(append_, 2, 0, 1, 8);

    connect(resetMinMax_, &QCheckBox::clicked, this, &cConfigDlg::takeControlValues);
    connect(start_, &QPushButton::clicked, this, [this] {
        if (!takeControlValues()) return;
        model_.collect();
        if (closeWhenIdle_) QDialog::reject();
    });
    connect(collectStop_, &QPushButton::clicked, this, &cConfigDlg::stopActivity);
    connect(file_, &QPushButton::clicked, this, [this] {
        takeControlValues();  // what the operator typed outlasts the chooser
        model_.chooseFile();
    });
    connect(append_, &QCheckBox::clicked, this, [this] { model_.toggleAppend(); });
    return group;
}

// ---- Operator actions ----------------------------------------------------------------

bool cConfigDlg::takeControlValues() {
    return model_.takeControlValues(ControlValues{
        p1_.unitCode->text().toStdString(), p2_.unitCode->text().toStdString(),
        p1_.dampingTime->text().toStdString(), p2_.dampingTime->text().toStdString(),
        interval_->text().toStdString(), samples_->text().toStdString(), resetMinMax_->isChecked()});
}

void cConfigDlg::stopActivity() {
    model_.requestStop();
    setWaitCursor(true);
}

void cConfigDlg::reject() {
    // A running loop ends at its next turn; the window closes after it.
    stopActivity();
    if (model_.state().activity != Activity::Idle) {
        closeWhenIdle_ = true;
        return;
    }
    QDialog::reject();
}

// ---- The window host ----------------------------------------------------------------------

void cConfigDlg::showPressure(const PressureState& state, PressureWidgets& w, bool idle, bool unitsKnown) {
    w.label->setText(Text(state.label));
    w.precision->setChecked(state.precision);
    w.accuracy->setChecked(!state.precision);
    w.precision->setEnabled(state.digitsEnabled);
    w.accuracy->setEnabled(state.digitsEnabled);
    SetText(w.value, Text(state.valueText));
    w.value->setBackgroundColour(ColourOf(state.colour));
    SetText(w.minimum, Text(state.minimumText));
    SetText(w.maximum, Text(state.maximumText));
    w.status->setText(Text(state.statusText));
    if (!w.unitCode->hasFocus()) SetText(w.unitCode, unitsKnown ? Text(std::to_string(state.unitCode)) : QString());
    w.unitCode->setEnabled(unitsKnown);
    w.unitName->setText(Text(state.unitName));
    w.unitUp->setEnabled(state.spinnerEnabled && idle && unitsKnown);
    w.unitDown->setEnabled(state.spinnerEnabled && idle && unitsKnown);
    w.dampingOn->setChecked(state.dampingOn);
    w.dampingOn->setEnabled(state.dampingOnEnabled);
    if (!w.dampingTime->hasFocus()) SetText(w.dampingTime, Text(state.dampingText));
    w.dampingTime->setEnabled(state.dampingEditEnabled);
    w.dampingSet->setEnabled(state.dampingEditEnabled);
    w.exponential->setChecked(!state.smart);
    w.smart->setChecked(state.smart);
    w.smart->setEnabled(state.smartEnabled);
}

void cConfigDlg::showValues() {
    const MeasurementState& state = model_.state();
    const bool reading = state.activity == Activity::Reading;
    const bool collecting = state.activity == Activity::Collecting;
    const bool idle = state.activity == Activity::Idle;
    showPressure(state.p1, p1_, !reading, state.unitsKnown);
    showPressure(state.p2, p2_, !reading, state.unitsKnown);
    p2_.frame->setVisible(state.p2Present);
    SetText(temperature_, Text(state.temperatureText));
    temperature_->setBackgroundColour(ColourOf(state.temperatureColour));
    celsius_->setChecked(!state.fahrenheit);
    fahrenheit_->setChecked(state.fahrenheit);
    read_->setEnabled(idle);
    readStop_->setEnabled(reading);
    zero_->setEnabled(!collecting);
    resetMinMax_->setChecked(state.resetMinMax);
    if (!interval_->hasFocus()) SetText(interval_, Text(state.collection.intervalText));
    if (!samples_->hasFocus()) SetText(samples_, Text(state.collection.samplesText));
    SetText(counter_, Text(std::to_string(state.collection.counter)));
    SetText(path_, Text(state.collection.path));
    append_->setChecked(state.collection.append);
    for (QWidget* control : {static_cast<QWidget*>(interval_), static_cast<QWidget*>(samples_)})
        control->setEnabled(!collecting);
    start_->setEnabled(idle);
    collectStop_->setEnabled(collecting);
    file_->setEnabled(idle);
    append_->setEnabled(idle);
    showPlotSettings(state);
    if (idle && waitCursor_ && !model_.stopRequested()) setWaitCursor(false);
    // The fields whose text changed repaint themselves at the next turn of the
    // event loop, between two readings; a colour change repaints at once.
}

void cConfigDlg::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void cConfigDlg::wait(std::chrono::milliseconds duration, const std::function<bool()>& stop) {
    waiter_(duration, stop);
}

void cConfigDlg::setWaitCursor(bool on) {
    if (on == waitCursor_) return;
    waitCursor_ = on;
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

void cConfigDlg::readingTaken(const TrendReading& reading) {
    if (plotOn_->isChecked()) plot_->add(reading);
}

void cConfigDlg::readingMissed() { plot_->breakLine(); }

void cConfigDlg::showPlotSettings(const MeasurementState& state) {
    plot_->setInputs(state.p2Present);
    plot_->setUnits(Text(state.p1.unitName), Text(state.p2.unitName), Text(state.temperatureUnitName));
    plot_->setSensorRange(TrendQuantity::P1, state.p1.sensorSpan, Text(state.p1.sensorSpanUnit));
    plot_->setSensorRange(TrendQuantity::P2, state.p2.sensorSpan, Text(state.p2.sensorSpanUnit));
    // The readings stopped: the next ones start a new line.
    if (state.activity != plottedActivity_) plot_->breakLine();
    plottedActivity_ = state.activity;
}

}  // namespace corvel
