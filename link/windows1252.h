#pragma once
// The transmitter stores its texts (tag, asset number, description, model and
// serial texts) as Windows-1252 bytes. The utility works in UTF-8; these turn
// one into the other.

#include <optional>
#include <string>
#include <string_view>

namespace corvel {

// The Windows-1252 bytes of UTF-8 `text`, or nothing when `text` holds a
// character that Windows-1252 cannot hold (or is not valid UTF-8).
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// The UTF-8 text of Windows-1252 bytes. The five bytes that Windows-1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD.
std::string Windows1252ToUtf8(std::string_view bytes);

}  // namespace corvel
