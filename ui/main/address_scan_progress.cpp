#include "ui/main/address_scan_progress.h"

#include <QCoreApplication>

#include "link/frame.h"
#include "link/port_names.h"

namespace corvel {

AddressScanProgress::AddressScanProgress(QWidget* parent) : dialog_(parent) {
    dialog_.setWindowTitle("Find Device");
    dialog_.setLabelText("Searching the RS485 line...");
    dialog_.setCancelButtonText("Cancel");
    dialog_.setRange(0, 254);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumDuration(0);
    dialog_.setWindowModality(Qt::ApplicationModal);
    dialog_.setMinimumWidth(320);
    dialog_.show();
}

bool AddressScanProgress::beforeOpen(const std::string& portName) {
    portText_ = QString::fromStdString(PortDisplayNameOf(portName));
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
}

// Header byte 4 of a request carries the network address it is sent to.
void AddressScanProgress::beforeWrite(ByteSpan request) {
    const int address = U8At(request, offset::kHeaderRoute3);
    dialog_.setValue(address);
    dialog_.setLabelText(QString("Trying network address %1 on %2...").arg(address).arg(portText_));
}

}  // namespace corvel
