#include "placeholder_tool_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvel {

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

}  // namespace corvel
