#pragma once
// ConfigurationWindow: the modal window "Transmitter Configuration" behind
// the main window's Transmitter menu. A table of the settings (setting,
// transmitter, file) with the differences marked and a filter for them, the
// progress of a restore or of the report's readings, and one button per
// action. The menu entry the operator chose starts at once.

#include <QDialog>

#include "ui/support/tool_window_opener.h"
#include "ui/support/window_host.h"
#include "ui/tools/configuration/configuration_model.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace corvel {

class ConfigurationWindow final : public QDialog, private WindowHost {
    Q_OBJECT
public:
    ConfigurationWindow(const ToolContext& context, QWidget* parent = nullptr);

    ConfigurationModel& model() { return model_; }
    // Runs the action of a Transmitter menu entry.
    void start(ToolWindow entry);
    // Closing waits for a restore or the report's readings; during the
    // readings it cancels them.
    void reject() override;

private:
    void buildLayout();
    QLayout* buildButtons();
    void writeReport();
    void showRows();

    void showValues() override;
    void processEvents() override;
    void setWaitCursor(bool on) override;
    void startProgress() override;
    void showProgress(int percent, const std::string& text) override;
    void stopProgress() override;
    bool progressCancelled() const override { return cancelled_; }

    ConfigurationModel model_;
    QLabel* summary_ = nullptr;
    QTableWidget* table_ = nullptr;
    QCheckBox* onlyDifferences_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::vector<QPushButton*> actions_;
    bool cancelled_ = false;
};

}  // namespace corvel
