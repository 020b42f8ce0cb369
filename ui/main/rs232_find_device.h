#pragma once
// RS232FindDevice: "Connect to RS232 Device", the baud rate of an RS-232 search.

#include <QDialog>

#include "ui/main/connect_dialogs.h"

class QComboBox;

namespace corvel {

class RS232FindDevice final : public QDialog {
    Q_OBJECT
public:
    RS232FindDevice(const Rs232ConnectValues& previous, QWidget* parent);
    Rs232ConnectValues values() const;

private:
    QComboBox* baud_;
};

}  // namespace corvel
