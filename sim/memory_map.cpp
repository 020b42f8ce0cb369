#include "sim/memory_map.h"

#include <algorithm>

namespace corvel::sim {

std::optional<std::vector<std::uint8_t>> MemoryMap::read(std::uint32_t at, std::size_t count) const {
    if (!inside(at, count)) return std::nullopt;
    return std::vector<std::uint8_t>(bytes_.begin() + at, bytes_.begin() + at + count);
}

bool MemoryMap::write(std::uint32_t at, ByteSpan data) {
    if (!inside(at, data.size())) return false;
    std::copy(data.begin(), data.end(), bytes_.begin() + at);
    return true;
}

}  // namespace corvel::sim
