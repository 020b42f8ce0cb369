#include "datalog/file_access.h"

namespace corvel {

std::string FileErrorText(std::error_code error, const std::filesystem::path& path) {
    const std::string name = path.string();
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return name + " was not found.";
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system || error == std::errc::is_a_directory)
        return "Access to " + name + " was denied.";
    if (error == std::errc::no_space_on_device) return "Disk full while accessing " + name + ".";
    if (error == std::errc::filename_too_long || error == std::errc::invalid_argument)
        return name + " contains an invalid path.";
    if (error == std::errc::too_many_files_open || error == std::errc::too_many_files_open_in_system)
        return name + " could not be opened because there are too many open files.";
    if (error == std::errc::io_error) return "A hardware I/O error was reported while accessing " + name + ".";
    return "An unexpected error occurred while accessing " + name + " (" + error.message() + ").";
}

}  // namespace corvel
