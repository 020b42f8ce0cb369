#pragma once
// RS485FindDevice: "Connect to RS485 Device", the start address, port and baud
// rate of an RS-485 address scan. An address that is not an integer 0 .. 255
// is refused with a message and the previous address is put back.

#include <QDialog>

#include "ui/main/connect_dialogs.h"
#include "ui/support/prompter.h"

class QComboBox;
class QLineEdit;

namespace corvel {

class RS485FindDevice final : public QDialog {
    Q_OBJECT
public:
    RS485FindDevice(const Rs485ConnectValues& previous, Prompter& prompter, QWidget* parent);
    Rs485ConnectValues values() const { return values_; }

private:
    void takeValues();

    Prompter& prompter_;
    Rs485ConnectValues values_;
    QLineEdit* address_;
    QComboBox* port_;
    QComboBox* baud_;
};

}  // namespace corvel
