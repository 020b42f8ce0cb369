#include "ui/support/qt_file_chooser.h"

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

// A chooser that accepts a new name and adds the default extension.
std::optional<std::string> ChooseToWrite(QWidget* parent, const FileChoice& choice, bool confirmReplace) {
    QFileDialog dialog(DialogParent(parent), Text(choice.title), Text(choice.initialPath),
                       Text(QtFilterText(choice.filter)));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !confirmReplace);
    dialog.setDefaultSuffix(Text(choice.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(dialog.selectedFiles().constFirst());
}

}  // namespace

std::optional<std::string> QtFileChooser::openFile(const FileChoice& choice) {
    return Chosen(QFileDialog::getOpenFileName(DialogParent(parent_), Text(choice.title), Text(choice.initialPath),
                                               Text(QtFilterText(choice.filter))));
}

std::optional<std::string> QtFileChooser::saveFile(const FileChoice& choice) {
    return ChooseToWrite(parent_, choice, true);
}

std::optional<std::string> QtFileChooser::outputFile(const FileChoice& choice) {
    std::optional<std::string> path = ChooseToWrite(parent_, choice, false);
    if (path) *path = WithDefaultExtension(*path, choice.defaultExtension);
    return path;
}

std::optional<std::string> QtFileChooser::chooseFolder(const std::string& title, const std::string& initialFolder) {
    return Chosen(QFileDialog::getExistingDirectory(DialogParent(parent_), Text(title), Text(initialFolder)));
}

}  // namespace corvel
