#include "ui/tools/data_log/data_log_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/tools/read_only_edit.h"
#include "ui/support/screen_fit.h"

namespace corvel {

namespace {

template <typename Widget, typename... Args>
Widget* Named(const char* objectName, Args&&... args) {
    auto* widget = new Widget(std::forward<Args>(args)...);
    widget->setObjectName(objectName);
    return widget;
}

QLineEdit* PathField(const char* objectName) {
    auto* field = Named<CReadOnlyEdit>(objectName);
    field->setMinimumWidth(420);
    return field;
}

}  // namespace

cDataFileConversion::cDataFileConversion(const ToolContext& context, QWidget* parent)
    : QDialog(parent), model_(context, *this) {
    setWindowTitle(tr("Datalog Utility"));
    buildControls();
    ScrollWhenLargerThanScreen(*this);
    connectControls();
    showModel();
}

void cDataFileConversion::buildControls() {
    browsePc_ = Named<QRadioButton>("browsePcRadio", tr("Browse PC"));
    instrument_ = Named<QRadioButton>("instrumentRadio", tr("Instrument"));
    inputFile_ = Named<QPushButton>("inputFileButton", tr("Input File"));
    inputPath_ = PathField("inputPathField");
    fileList_ = Named<QListWidget>("fileList");
    fileList_->setMinimumHeight(140);
    // Wide enough for a row with a 20-character log name and a long sample count.
    const QString wideRow = QString::fromStdString(
        LogListRowText({0, "LOG00000.BIN", std::string(20, 'n'), "00/00/0000 00:00:00", 4294967295u, 2}));
    fileList_->setMinimumWidth(fileList_->fontMetrics().horizontalAdvance(wideRow) + 40);
    eraseAll_ = Named<QPushButton>("eraseAllButton", tr("Erase All"));
    outputFile_ = Named<QPushButton>("outputFileButton", tr("Output File"));
    outputPath_ = PathField("outputPathField");
    keepRawLog_ = Named<QCheckBox>("keepRawLogCheck", tr("Keep raw log file (.bin) beside the output file"));
    progress_ = Named<QProgressBar>("progressBar");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progressText_ = Named<QLabel>("progressText");
    saveFile_ = Named<QPushButton>("saveFileButton", tr("Save File"));
    cancel_ = Named<QPushButton>("cancelButton", tr("Cancel"));

    auto* source = new QGroupBox(tr("Source"));
    auto* sourceLayout = new QGridLayout(source);
    auto* radios = new QHBoxLayout;
    radios->addWidget(browsePc_);
    radios->addWidget(instrument_);
    radios->addStretch();
    sourceLayout->addLayout(radios, 0, 0, 1, 2);
    sourceLayout->addWidget(inputFile_, 1, 0);
    sourceLayout->addWidget(inputPath_, 1, 1);
    sourceLayout->addWidget(fileList_, 2, 0, 1, 2);
    sourceLayout->addWidget(eraseAll_, 3, 0);

    auto* destination = new QGroupBox(tr("Destination"));
    auto* destinationLayout = new QGridLayout(destination);
    destinationLayout->addWidget(outputFile_, 0, 0);
    destinationLayout->addWidget(outputPath_, 0, 1);
    destinationLayout->addWidget(keepRawLog_, 1, 0, 1, 2);
    destinationLayout->addWidget(progress_, 2, 0, 1, 2);
    destinationLayout->addWidget(progressText_, 3, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(saveFile_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(destination);
    layout->addLayout(buttons);
}

void cDataFileConversion::connectControls() {
    connect(browsePc_, &QRadioButton::clicked, this, [this] {
        model_.selectPc();
        showModel();
    });
    connect(instrument_, &QRadioButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        model_.selectInstrument();
        QApplication::restoreOverrideCursor();
        showModel();
    });
    connect(fileList_, &QListWidget::currentRowChanged, this, [this](int row) { model_.selectRow(row); });
    connect(inputFile_, &QPushButton::clicked, this, [this] {
        model_.chooseInputFile();
        showModel();
    });
    connect(outputFile_, &QPushButton::clicked, this, [this] {
        model_.chooseOutputFile();
        showModel();
    });
    connect(eraseAll_, &QPushButton::clicked, this, [this] {
        model_.eraseAll();
        showModel();
    });
    connect(keepRawLog_, &QCheckBox::toggled, this, [this](bool keep) { model_.setKeepRawLog(keep); });
    connect(saveFile_, &QPushButton::clicked, this, &cDataFileConversion::save);
    connect(cancel_, &QPushButton::clicked, this, &cDataFileConversion::reject);
}

void cDataFileConversion::showModel() {
    const DataFileConversionState& state = model_.state();
    const bool pc = state.source == LogSource::Pc;
    browsePc_->setChecked(pc);
    instrument_->setChecked(!pc);
    instrument_->setEnabled(!busy_ && model_.instrumentAvailable());
    browsePc_->setEnabled(!busy_);
    inputFile_->setEnabled(!busy_ && pc);
    inputPath_->setEnabled(pc);
    inputPath_->setText(QString::fromStdString(state.inputPath));
    outputPath_->setText(QString::fromStdString(state.outputPath));
    outputFile_->setEnabled(!busy_);
    fileList_->setEnabled(!busy_ && !pc);
    eraseAll_->setEnabled(!busy_ && !pc);
    keepRawLog_->setEnabled(!busy_ && !pc);
    saveFile_->setEnabled(!busy_);
    QSignalBlocker quiet(fileList_);
    fileList_->clear();
    for (const std::string& row : state.rows) fileList_->addItem(QString::fromStdString(row));
    fileList_->setCurrentRow(state.selectedRow);
}

void cDataFileConversion::setBusy(bool busy) {
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    showModel();
}

void cDataFileConversion::save() {
    setBusy(true);
    const DataFileConversionModel::AfterSave after = model_.save();
    setBusy(false);
    if (after == DataFileConversionModel::AfterSave::Close) accept();
}

void cDataFileConversion::showProgress(int percent, const std::string& text) {
    progress_->setValue(percent);
    progressText_->setText(QString::fromStdString(text));
}

void cDataFileConversion::processEvents() { QApplication::processEvents(); }

void cDataFileConversion::reject() {
    // During a copy Cancel stops the copy; the window stays open.
    if (model_.state().copying) {
        model_.stopCopy();
        return;
    }
    if (!busy_) QDialog::reject();
}

}  // namespace corvel
