#pragma once
// A FileChooser for tests: records every request and answers from a script.
// When the script runs dry, the operator cancels.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/support/file_chooser.h"

namespace corvel {

class ScriptedFileChooser final : public FileChooser {
public:
    enum class Kind { Open, Save, Output, Folder };
    struct Request {
        Kind kind;
        FileChoice choice;  // for a folder: the title and the initial folder
    };

    std::optional<std::string> openFile(const FileChoice& choice) override;
    std::optional<std::string> saveFile(const FileChoice& choice) override;
    std::optional<std::string> outputFile(const FileChoice& choice) override;
    std::optional<std::string> chooseFolder(const std::string& title, const std::string& initialFolder) override;

    // Answers for the coming requests, in order; nothing stands for Cancel.
    void answer(std::optional<std::string> path) { script_.push_back(std::move(path)); }
    const std::vector<Request>& requests() const { return requests_; }

private:
    std::optional<std::string> next(Kind kind, FileChoice choice);

    std::deque<std::optional<std::string>> script_;
    std::vector<Request> requests_;
};

}  // namespace corvel
