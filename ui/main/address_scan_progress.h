#pragma once
// The progress of an RS-485 address scan: a modal progress display that names
// the address and port being tried, keeps the window repainting, and has a
// Cancel button. After Cancel every remaining probe fails at once, so the scan
// runs out quickly; the search then asks cancelled() and says so.

#include <QProgressDialog>
#include <QString>

#include "ui/support/watched_port_factory.h"

namespace corvel {

class AddressScanProgress final : public ExchangeWatcher {
public:
    explicit AddressScanProgress(QWidget* parent);

    bool beforeOpen(const std::string& portName) override;
    void beforeWrite(ByteSpan request) override;
    bool cancelled() const { return dialog_.wasCanceled(); }

private:
    QProgressDialog dialog_;
    QString portText_;
};

}  // namespace corvel
