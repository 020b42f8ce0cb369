#include "ui/main/connect_dialog_parts.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/main/connect_dialogs.h"

namespace corvel {
namespace {

constexpr int kSelectablePorts = 20;

void Select(QComboBox* box, const std::string& text) {
    const int index = box->findText(QString::fromStdString(text));
    if (index >= 0) box->setCurrentIndex(index);
}

}  // namespace

QComboBox* MakeBaudSelector(const std::string& selected, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName("baudSelector");
    for (const char* rate : kBaudChoices) box->addItem(rate);
    Select(box, selected);
    return box;
}

QComboBox* MakePortSelector(const std::string& selected, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName("portSelector");
    for (int port = 1; port <= kSelectablePorts; ++port) box->addItem(QString("COM%1").arg(port));
    Select(box, selected);
    return box;
}

QDialogButtonBox* LayOutConnectDialog(QDialog* dialog, QFormLayout* form) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton("OK", QDialogButtonBox::AcceptRole);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("cancelButton");
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return buttons;
}

}  // namespace corvel
