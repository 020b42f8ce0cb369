#pragma once
// The FileChooser of the program: the desktop's file and folder dialogs.

#include "ui/support/file_chooser.h"

class QWidget;

namespace corvel {

class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::string> openFile(const FileChoice& choice) override;
    std::optional<std::string> saveFile(const FileChoice& choice) override;
    std::optional<std::string> outputFile(const FileChoice& choice) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& initialFolder) override;

private:
    QWidget* parent_;
};

}  // namespace corvel
