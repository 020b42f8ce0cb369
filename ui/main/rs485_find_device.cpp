#include "ui/main/rs485_find_device.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "ui/main/connect_dialog_parts.h"
#include "ui/main/main_window_model.h"
#include "ui/tools/tool_widgets.h"

namespace corvel {

RS485FindDevice::RS485FindDevice(const Rs485ConnectValues& previous, Prompter& prompter, QWidget* parent)
    : QDialog(parent),
      prompter_(prompter),
      values_(previous),
      address_(NumberField(new QLineEdit(QString::number(previous.address), this))),
      port_(MakePortSelector(previous.portText, this)),
      baud_(MakeBaudSelector(previous.baudText, this)) {
    setWindowTitle("Connect to RS485 Device");
    address_->setObjectName("addressField");
    address_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), address_));
    auto* form = new QFormLayout;
    form->addRow("Network Address:", address_);
    form->addRow("Port:", port_);
    form->addRow("Baud:", baud_);
    QDialogButtonBox* buttons = LayOutConnectDialog(this, form);
    connect(buttons, &QDialogButtonBox::accepted, this, &RS485FindDevice::takeValues);
}

// An address that is no integer 0 .. 255 is reported, and the search goes on
// with the previous values.
void RS485FindDevice::takeValues() {
    if (const auto address = ParseAddressField(address_->text().toStdString())) {
        values_ = {static_cast<std::uint8_t>(*address), port_->currentText().toStdString(),
                   baud_->currentText().toStdString()};
    } else {
        prompter_.notify(kAddressRangeText);
    }
    accept();
}

}  // namespace corvel
