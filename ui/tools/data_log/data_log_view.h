#pragma once
// cDataFileConversion, "Datalog Utility": the thin view over
// DataFileConversionModel. It mirrors the model into its controls after every
// action and, while a file is saved, shows the progress and keeps only
// "Cancel" usable, which stops a copy from the instrument.

#include <QDialog>

#include "ui/tools/data_log/data_log_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace corvel {

class cDataFileConversion final : public QDialog, private WindowHost {
    Q_OBJECT
public:
    cDataFileConversion(const ToolContext& context, QWidget* parent);

    void reject() override;

private:
    void buildControls();
    void connectControls();
    void showModel();
    void save();
    void setBusy(bool busy);
    void showProgress(int percent, const std::string& text) override;
    void processEvents() override;

    DataFileConversionModel model_;
    QRadioButton* browsePc_ = nullptr;
    QRadioButton* instrument_ = nullptr;
    QPushButton* inputFile_ = nullptr;
    QLineEdit* inputPath_ = nullptr;
    QListWidget* fileList_ = nullptr;
    QPushButton* eraseAll_ = nullptr;
    QPushButton* outputFile_ = nullptr;
    QLineEdit* outputPath_ = nullptr;
    QCheckBox* keepRawLog_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    QPushButton* saveFile_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool busy_ = false;
};

}  // namespace corvel
