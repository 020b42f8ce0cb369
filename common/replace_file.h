#pragma once
// Writing a file so that it appears only when complete: the contents go into
// a file beside the target, which is then renamed over it. A failure leaves
// the previous file as it was.

#include <filesystem>
#include <string>
#include <vector>

namespace corvel {

// Writes `parts` to `path`, replacing it or, with `append`, after its present
// contents. A target that exists and is not a regular file is refused. On
// failure `error` holds the reason.
bool ReplaceFileContents(const std::filesystem::path& path, bool append, const std::vector<std::string>& parts,
                         std::string& error);

}  // namespace corvel
