#pragma once
// LineScanWindow: "Scan Line", opened by the main window's "Scan line...".
// The operator picks the line and the address range, watches the table fill,
// may cancel, export the list as CSV, and selects one row for the main window.
// The window only draws and forwards to LineScanModel.

#include <QDialog>
#include <optional>

#include "ui/main/line_scan_model.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace corvel {

class LineScanWindow final : public QDialog, private WindowHost {
    Q_OBJECT
public:
    LineScanWindow(const CommSettings& comm, SerialPortFactory& ports, Prompter& prompter, FileChooser& files,
                   QWidget* parent = nullptr);

    const LineScanModel& model() const { return model_; }
    // The transmitter the operator selected, once the window closed with "Select".
    const std::optional<ListedTransmitter>& selected() const { return selected_; }

    // A running scan is cancelled first; the window stays until it has stopped.
    void reject() override;

private:
    QLayout* buildLineRows();
    QLayout* buildButtonRow();
    void takeChoices();
    void scan();
    void select();
    void showValues() override;
    void processEvents() override;
    void showChoiceStates();

    LineScanModel model_;
    std::optional<ListedTransmitter> selected_;
    QComboBox* interface_ = nullptr;
    QComboBox* port_ = nullptr;
    QComboBox* baud_ = nullptr;
    QSpinBox* from_ = nullptr;
    QSpinBox* to_ = nullptr;
    QSpinBox* turnaround_ = nullptr;
    QCheckBox* thorough_ = nullptr;
    QPushButton* scan_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QTableWidget* table_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* select_ = nullptr;
};

}  // namespace corvel
