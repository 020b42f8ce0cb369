#pragma once
// The questions before a commissioning report: the technician's name, a free
// note, and the number of as-found readings to take.

#include <QDialog>
#include <optional>

#include "ui/tools/configuration/configuration_model.h"

class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

namespace corvel {

class ReportDetailsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ReportDetailsDialog(QWidget* parent = nullptr);

    ReportDetails details() const;

    // The operator's answers, or nothing on Cancel.
    static std::optional<ReportDetails> ask(QWidget* parent);

private:
    QLineEdit* technician_ = nullptr;
    QPlainTextEdit* note_ = nullptr;
    QSpinBox* readings_ = nullptr;
};

}  // namespace corvel
