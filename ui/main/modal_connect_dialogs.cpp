#include "ui/main/modal_connect_dialogs.h"

#include <QApplication>

#include "ui/main/rs232_find_device.h"
#include "ui/main/rs485_find_device.h"

namespace corvel {

std::optional<Rs232ConnectValues> ModalConnectDialogs::askRs232(const Rs232ConnectValues& previous) {
    RS232FindDevice dialog(previous, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.values();
}

std::optional<Rs485ConnectValues> ModalConnectDialogs::askRs485(const Rs485ConnectValues& previous) {
    RS485FindDevice dialog(previous, prompter_, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.values();
}

}  // namespace corvel
