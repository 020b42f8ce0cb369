#include "ui/tools/configuration/report_details_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "ui/tools/tool_widgets.h"

namespace corvel {

ReportDetailsDialog::ReportDetailsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Commissioning Report");
    technician_ = Named(new QLineEdit(this), "technicianEdit");
    technician_->setMinimumWidth(320);
    note_ = Named(new QPlainTextEdit(this), "noteEdit");
    note_->setMaximumHeight(100);
    readings_ = NumberField(Named(new QSpinBox(this), "readingsSpin"));
    readings_->setRange(1, kMaxReadingCount);
    readings_->setValue(kDefaultReadingCount);
    readings_->setMaximumWidth(100);
    auto* buttons = Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this), "buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow("Technician:", technician_);
    form->addRow("Note:", note_);
    form->addRow("As-found readings:", readings_);
    form->addRow(buttons);
}

ReportDetails ReportDetailsDialog::details() const {
    return {technician_->text().trimmed().toStdString(), note_->toPlainText().toStdString(), readings_->value()};
}

std::optional<ReportDetails> ReportDetailsDialog::ask(QWidget* parent) {
    ReportDetailsDialog dialog(parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.details();
}

}  // namespace corvel
