#include "common/replace_file.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

namespace corvel {
namespace {

std::filesystem::path BesideTarget(const std::filesystem::path& path) {
    std::random_device random;
    return path.parent_path() / ("." + path.filename().string() + "." + std::to_string(random()) + ".part");
}

bool Fail(std::string& error, const std::error_code& code) {
    error = code.message();
    return false;
}

bool CopyExisting(const std::filesystem::path& path, std::ofstream& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out << in.rdbuf();
    return !in.bad();
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& path, bool append, const std::vector<std::string>& parts,
                         std::string& error) {
    std::error_code code;
    const auto status = std::filesystem::symlink_status(path, code);
    const bool exists = std::filesystem::exists(status);
    if (exists && !std::filesystem::is_regular_file(status)) {
        error = "it is not a regular file";
        return false;
    }
    const std::filesystem::path part = BesideTarget(path);
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(error, std::error_code(errno, std::generic_category()));
        if (append && exists && !CopyExisting(path, out)) {
            error = "its present contents could not be read";
            out.close();
            std::filesystem::remove(part, code);
            return false;
        }
        for (const std::string& text : parts) out << text;
        out.close();
        if (!out) {
            const std::error_code writeError(errno, std::generic_category());
            std::filesystem::remove(part, code);
            return Fail(error, writeError);
        }
    }
    std::filesystem::rename(part, path, code);
    if (code) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        return Fail(error, code);
    }
    return true;
}

}  // namespace corvel
