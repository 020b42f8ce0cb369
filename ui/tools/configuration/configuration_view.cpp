#include "ui/tools/configuration/configuration_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/tools/configuration/report_details_dialog.h"
#include "ui/tools/configuration/report_pdf.h"
#include "ui/tools/tool_widgets.h"

namespace corvel {
namespace {

// A setting that differs: a pale amber row in bold.
const QColor kDifferenceColour{255, 224, 160};

QTableWidgetItem* Cell(const std::string& text, bool differs) {
    auto* item = new QTableWidgetItem(Text(text));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (differs) {
        item->setBackground(kDifferenceColour);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    }
    return item;
}

}  // namespace

ConfigurationWindow::ConfigurationWindow(const ToolContext& context, QWidget* parent)
    : QDialog(parent), model_(context, *this, WriteReportPdf) {
    setWindowTitle(kConfigurationWindowTitle);
    buildLayout();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.open();
    QApplication::restoreOverrideCursor();
    showValues();
}

void ConfigurationWindow::buildLayout() {
    summary_ = Named(new QLabel(this), "summary");
    table_ = Named(new QTableWidget(0, 3, this), "settingsTable");
    table_->verticalHeader()->setVisible(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setMinimumSize(620, 420);
    onlyDifferences_ = Named(new QCheckBox("Only differences", this), "onlyDifferencesCheck");
    connect(onlyDifferences_, &QCheckBox::toggled, this, [this](bool only) {
        model_.setOnlyDifferences(only);
        showRows();
    });
    progress_ = Named(new QProgressBar(this), "progressBar");
    progress_->setRange(0, 100);
    progressText_ = Named(new QLabel(this), "progressText");
    cancel_ = ToolButton("Cancel", "cancelButton", this);
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(onlyDifferences_);
    layout->addLayout(progressRow);
    layout->addWidget(progressText_);
    layout->addLayout(buildButtons());
    for (QWidget* widget : {static_cast<QWidget*>(progress_), static_cast<QWidget*>(progressText_),
                            static_cast<QWidget*>(cancel_)})
        widget->setVisible(false);
}

QLayout* ConfigurationWindow::buildButtons() {
    const std::pair<ToolWindow, const char*> entries[] = {{ToolWindow::SaveConfiguration, "saveButton"},
                                                          {ToolWindow::CompareWithFile, "compareButton"},
                                                          {ToolWindow::RestoreFromFile, "restoreButton"},
                                                          {ToolWindow::CommissioningReport, "reportButton"}};
    auto* row = new QHBoxLayout;
    for (const auto& [entry, name] : entries) {
        QPushButton* button = ToolButton(ToolWindowTitle(entry), name, this);
        connect(button, &QPushButton::clicked, this, [this, entry = entry] { start(entry); });
        actions_.push_back(button);
        row->addWidget(button);
    }
    row->addStretch(1);
    QPushButton* close = ToolButton("Close", "closeButton", this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    row->addWidget(close);
    return row;
}

void ConfigurationWindow::start(ToolWindow entry) {
    switch (entry) {
        case ToolWindow::SaveConfiguration: model_.save(); break;
        case ToolWindow::CompareWithFile: model_.compare(); break;
        case ToolWindow::RestoreFromFile: model_.restore(); break;
        case ToolWindow::CommissioningReport: writeReport(); break;
        default: break;
    }
    showValues();
}

void ConfigurationWindow::writeReport() {
    const std::optional<ReportDetails> details = ReportDetailsDialog::ask(this);
    if (details) model_.writeReport(*details);
}

void ConfigurationWindow::reject() {
    if (model_.state().busy) {
        cancelled_ = true;
        return;
    }
    QDialog::reject();
}

void ConfigurationWindow::showRows() {
    const ConfigurationWindowState& state = model_.state();
    const std::vector<ComparisonRow> rows = ShownRows(state);
    table_->setHorizontalHeaderLabels({"Setting", Text(state.secondCaption), Text(state.thirdCaption)});
    table_->setColumnHidden(2, state.thirdCaption.empty());
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const ComparisonRow& row = rows[static_cast<std::size_t>(i)];
        table_->setItem(i, 0, Cell(row.setting, row.differs));
        table_->setItem(i, 1, Cell(row.transmitterText, row.differs));
        table_->setItem(i, 2, Cell(row.fileText, row.differs));
    }
}

void ConfigurationWindow::showValues() {
    const ConfigurationWindowState& state = model_.state();
    summary_->setText(Text(state.summary));
    onlyDifferences_->setEnabled(state.table == ConfigurationTable::Comparison);
    for (QPushButton* button : actions_) button->setEnabled(state.transmitterRead && !state.busy);
    showRows();
}

void ConfigurationWindow::processEvents() { QApplication::processEvents(); }

void ConfigurationWindow::setWaitCursor(bool on) {
    if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
}

void ConfigurationWindow::startProgress() {
    cancelled_ = false;
    progress_->setValue(0);
    progressText_->clear();
    progress_->setVisible(true);
    progressText_->setVisible(true);
    cancel_->setVisible(model_.state().cancellable);
    showValues();
}

void ConfigurationWindow::showProgress(int percent, const std::string& text) {
    progress_->setValue(percent);
    progressText_->setText(Text(text));
}

void ConfigurationWindow::stopProgress() {
    progress_->setVisible(false);
    progressText_->setVisible(false);
    cancel_->setVisible(false);
}

}  // namespace corvel
