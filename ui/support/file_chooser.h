#pragma once
// The operator's side of choosing files and folders. Windows never open a
// file dialog themselves: they ask the FileChooser they were given, which the
// program implements with the desktop's dialogs and the tests with a script.
//
// Filters are written as pairs of description and pattern separated by '|'
// and ended by "||", e.g. "Data Files (*.txt)|*.txt|All Files (*.*)|*.*||".
// Paths are UTF-8.

#include <optional>
#include <string>

namespace corvel {

struct FileChoice {
    std::string title;
    std::string filter;
    // Without the dot ("csv"); added to a chosen name that has no extension.
    std::string defaultExtension;
    // The proposed file name or the folder to start in; may be empty.
    std::string initialPath;

    bool operator==(const FileChoice&) const = default;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // An existing file to read; nothing when the operator cancels.
    virtual std::optional<std::string> openFile(const FileChoice& choice) = 0;
    // A file to write; the chooser has already asked before an existing file
    // is replaced. Nothing when the operator cancels.
    virtual std::optional<std::string> saveFile(const FileChoice& choice) = 0;
    // A file to write or add to, new or existing: the chooser takes a new
    // name, adds the default extension to a name without one, and asks
    // nothing about an existing file. Nothing when the operator cancels.
    virtual std::optional<std::string> outputFile(const FileChoice& choice) = 0;
    // An existing folder; nothing when the operator cancels.
    virtual std::optional<std::string> chooseFolder(const std::string& title, const std::string& initialFolder) = 0;
};

// `path` with ".<extension>" added when its file name has no extension.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

// The Qt filter text ("Data Files (*.txt);;All Files (*.*)") of a '|'-separated filter.
std::string QtFilterText(const std::string& filter);

}  // namespace corvel
