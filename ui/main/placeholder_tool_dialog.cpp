#include "placeholder_tool_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvel {

const char* ToolWindowTitle(ToolWindow tool) {
    switch (tool) {
        case ToolWindow::MeasurementConfiguration: return "Measurement/Configuration";
        case ToolWindow::AnalogOutput: return "Analog Output";
        case ToolWindow::FieldRecalibration: return "Field Recalibration";
        case ToolWindow::DeviceInfo: return "Device Info";
        case ToolWindow::DataLogUtility: return "Data Log Utility";
    }
    return "";
}

PlaceholderToolDialog::PlaceholderToolDialog(ToolWindow tool, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(ToolWindowTitle(tool)));
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(tr("This window is not available in this version yet."), this);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName("closeButton");
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PlaceholderToolOpener::open(ToolWindow tool, QWidget* parent) {
    PlaceholderToolDialog dialog(tool, parent);
    dialog.exec();
}

}  // namespace corvel
