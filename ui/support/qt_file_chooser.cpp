#include "qt_file_chooser.h"

#include <QApplication>
#include <QFileDialog>

namespace corvel {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QWidget* DialogParent(QWidget* parent) { return parent ? parent : QApplication::activeWindow(); }

std::optional<std::string> Chosen(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

}  // namespace

std::optional<std::string> QtFileChooser::openFile(const FileChoice& choice) {
    return Chosen(QFileDialog::getOpenFileName(DialogParent(parent_), Text(choice.title), Text(choice.initialPath),
                                               Text(QtFilterText(choice.filter))));
}

std::optional<std::string> QtFileChooser::saveFile(const FileChoice& choice) {
    QFileDialog dialog(DialogParent(parent_), Text(choice.title), Text(choice.initialPath),
                       Text(QtFilterText(choice.filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(Text(choice.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtFileChooser::chooseFolder(const std::string& title, const std::string& initialFolder) {
    return Chosen(QFileDialog::getExistingDirectory(DialogParent(parent_), Text(title), Text(initialFolder)));
}

}  // namespace corvel
