#pragma once
// Controls that both connect dialogs use.

#include <string>

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QFormLayout;
class QWidget;

namespace corvel {

// A drop-down list of the five baud rates with `selected` chosen.
QComboBox* MakeBaudSelector(const std::string& selected, QWidget* parent);
// A drop-down list of "COM1" .. "COM20" with `selected` chosen.
QComboBox* MakePortSelector(const std::string& selected, QWidget* parent);
// Lays `dialog` out as its fields (`form`) above "OK" and "Cancel", at a fixed
// size. Cancel rejects the dialog; OK is for the dialog to connect.
QDialogButtonBox* LayOutConnectDialog(QDialog* dialog, QFormLayout* form);

}  // namespace corvel
