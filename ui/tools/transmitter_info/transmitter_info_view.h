#pragma once
// XmtrInfo: the modal window "Transmitter Information" behind the main
// window's "Device Info" button: identity, version and ranges, and the tag
// number, asset number and description the operator edits and saves. The
// editable fields hold no more than the transmitter stores, and show the room
// left as the operator types.

#include <QDialog>

#include "ui/tools/transmitter_info/transmitter_info_model.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace corvel {

class XmtrInfo final : public QDialog {
    Q_OBJECT
public:
    explicit XmtrInfo(const ToolContext& context, QWidget* parent = nullptr);

    TransmitterInfoModel& model() { return model_; }

private:
    QLineEdit* limitedLine(const QString& name, std::size_t room, QLabel*& roomLabel);
    void keepDescriptionWithinRoom();
    void showRoom();
    void showValues();

    TransmitterInfoModel model_;
    QLabel* serialNumber_ = nullptr;
    QLabel* modelName_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* p1Line_ = nullptr;
    QLabel* p2Line_ = nullptr;
    QLineEdit* tag_ = nullptr;
    QLineEdit* asset_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    QLabel* tagRoom_ = nullptr;
    QLabel* assetRoom_ = nullptr;
    QLabel* descriptionRoom_ = nullptr;
};

}  // namespace corvel
