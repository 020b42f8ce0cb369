#include "ui/main/rs232_find_device.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

#include "ui/main/connect_dialog_parts.h"

namespace corvel {

RS232FindDevice::RS232FindDevice(const Rs232ConnectValues& previous, QWidget* parent)
    : QDialog(parent), baud_(MakeBaudSelector(previous.baudText, this)) {
    setWindowTitle("Connect to RS232 Device");
    auto* form = new QFormLayout;
    form->addRow("Baud:", baud_);
    QDialogButtonBox* buttons = LayOutConnectDialog(this, form);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
}

Rs232ConnectValues RS232FindDevice::values() const { return {baud_->currentText().toStdString()}; }

}  // namespace corvel
