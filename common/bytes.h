#pragma once
// Bounds-checked little-endian access to byte buffers: replies from the
// transmitter, requests in the simulator and records of data log files.
// A read that would reach past the end of the buffer yields zero (or the part
// of a text that lies inside the buffer); nothing ever reads outside it.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace corvel {

using ByteSpan = std::span<const std::uint8_t>;
using MutableByteSpan = std::span<std::uint8_t>;

inline std::uint8_t U8At(ByteSpan bytes, std::size_t offset) {
    return offset < bytes.size() ? bytes[offset] : 0;
}

inline std::uint16_t U16At(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(U8At(bytes, offset) | (U8At(bytes, offset + 1) << 8));
}

inline std::uint32_t U32At(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::uint32_t>(U16At(bytes, offset)) |
           (static_cast<std::uint32_t>(U16At(bytes, offset + 2)) << 16);
}

inline std::int32_t S32At(ByteSpan bytes, std::size_t offset) {
    return static_cast<std::int32_t>(U32At(bytes, offset));
}

inline float F32At(ByteSpan bytes, std::size_t offset) {
    return std::bit_cast<float>(U32At(bytes, offset));
}

// The text of a field of at most `fieldSize` bytes: it ends at the first zero
// byte, at the end of the field or at the end of the buffer, whichever comes first.
inline std::string TextAt(ByteSpan bytes, std::size_t offset, std::size_t fieldSize) {
    if (offset >= bytes.size()) return {};
    const std::size_t available = std::min(fieldSize, bytes.size() - offset);
    const auto* start = reinterpret_cast<const char*>(bytes.data() + offset);
    const void* zero = std::memchr(start, 0, available);
    const std::size_t length = zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - start) : available;
    return std::string(start, length);
}

inline void PutU8(MutableByteSpan bytes, std::size_t offset, std::uint8_t value) {
    if (offset < bytes.size()) bytes[offset] = value;
}

inline void PutU16(MutableByteSpan bytes, std::size_t offset, std::uint16_t value) {
    PutU8(bytes, offset, static_cast<std::uint8_t>(value));
    PutU8(bytes, offset + 1, static_cast<std::uint8_t>(value >> 8));
}

inline void PutU32(MutableByteSpan bytes, std::size_t offset, std::uint32_t value) {
    PutU16(bytes, offset, static_cast<std::uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

inline void PutF32(MutableByteSpan bytes, std::size_t offset, float value) {
    PutU32(bytes, offset, std::bit_cast<std::uint32_t>(value));
}

// Copies `text` into a field of `fieldSize` bytes, zero-padded; a longer text
// is cut at the field size (and then has no terminating zero).
inline void PutText(MutableByteSpan bytes, std::size_t offset, std::size_t fieldSize, const std::string& text) {
    for (std::size_t i = 0; i < fieldSize; ++i)
        PutU8(bytes, offset + i, i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

}  // namespace corvel
