#pragma once
// Controls that both connect dialogs use.

#include <string>

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QWidget;

namespace corvel {

// A drop-down list of the five baud rates with `selected` chosen.
QComboBox* MakeBaudSelector(const std::string& selected, QWidget* parent);
// A drop-down list of "COM1" .. "COM20" with `selected` chosen.
QComboBox* MakePortSelector(const std::string& selected, QWidget* parent);
// "OK" and "Cancel"; Cancel rejects `dialog`, OK is for the dialog to connect.
QDialogButtonBox* MakeOkCancelButtons(QDialog* dialog);

}  // namespace corvel
