#include "ui/support/scripted_file_chooser.h"

namespace corvel {

std::optional<std::string> ScriptedFileChooser::openFile(const FileChoice& choice) { return next(Kind::Open, choice); }

std::optional<std::string> ScriptedFileChooser::saveFile(const FileChoice& choice) { return next(Kind::Save, choice); }

std::optional<std::string> ScriptedFileChooser::outputFile(const FileChoice& choice) {
    return next(Kind::Output, choice);
}

std::optional<std::string> ScriptedFileChooser::chooseFolder(const std::string& title,
                                                             const std::string& initialFolder) {
    return next(Kind::Folder, FileChoice{title, "", "", initialFolder});
}

std::optional<std::string> ScriptedFileChooser::next(Kind kind, FileChoice choice) {
    requests_.push_back(Request{kind, std::move(choice)});
    if (script_.empty()) return std::nullopt;
    std::optional<std::string> path = std::move(script_.front());
    script_.pop_front();
    return path;
}

}  // namespace corvel
