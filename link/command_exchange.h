#pragma once
// The common pattern of every device command: build the request frame (header,
// payload, route block), seal it, run one exchange, and check the reply status.
// Commands then decode their fields from the reply. Internal to the link.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "link/device_session.h"
#include "link/frame.h"

namespace corvel::command {

// Runs `request` in buffers of the command's own: `reply` starts cleared, so a
// field decoded after a failed exchange reads zeros. The write length is the
// frame length 18 + n. Returns the exchange result.
bool Exchange(DeviceSession& session, const FrameRequest& request, std::uint8_t firstRead, FrameBuffer& reply);

// The same in the session's request and reply buffers (the channel commands):
// after a failed exchange the reply buffer still holds the previous reply.
bool ExchangeInSession(DeviceSession& session, const FrameRequest& request, std::uint8_t firstRead);

// Whether a request only reads, so that asking it again changes nothing in the
// transmitter. Writes, the measurement read that restarts the minimum and
// maximum, zero and recalibration steps, address changes, the log
// state, opening, closing and erasing log files, and log blocks (served in
// sequence) change the transmitter or advance its state.
bool OnlyReads(const FrameRequest& request);

// For the commands whose status is reported: true when the exchange succeeded
// and reply byte 8 is 0; a non-zero status becomes the session's status text.
bool Accepted(DeviceSession& session, bool exchanged, const FrameBuffer& reply);

// The status code of a reply (byte 8).
inline std::uint8_t ReplyStatus(const FrameBuffer& reply) { return reply[offset::kControl]; }

// Channel bits of command byte 2 and the number of channels they select.
std::uint8_t MaskBits(const ChannelMask& channels);
int ChannelCount(std::uint8_t mask);

// Memory map requests (class 0x62): a read of `count` bytes at `address`, and a
// write of `data` at `address`.
inline constexpr std::uint8_t kMemoryRead = 0x08;
inline constexpr std::uint8_t kMemoryWrite = 0x88;
inline constexpr std::size_t kMemoryDataOffset = 20;  // data of a read reply
std::vector<std::uint8_t> MemoryReadPayload(std::uint32_t address, std::uint8_t count);
std::vector<std::uint8_t> MemoryWritePayload(std::uint32_t address, ByteSpan data);

// A payload of `size` bytes: the given leading bytes, then zeros.
std::vector<std::uint8_t> PaddedPayload(std::initializer_list<std::uint8_t> leading, std::size_t size);

// The route with its module byte (5) replaced.
RouteBlock WithModule(RouteBlock route, std::uint8_t module);

}  // namespace corvel::command
