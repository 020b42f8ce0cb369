// Every operation of the device link decoding whatever bytes a transmitter
// might send back: the input chooses the operations, their arguments and
// operator texts, and carries the replies, each handed out as the line would
// deliver it (input_cursor.h, session_operations.h). The starting inputs in
// fuzz/corpus/command_replies hold the simulator's replies (see
// command_replies_corpus.cpp).

#include <cstddef>
#include <cstdint>

#include "link/device_session.h"
#include "link/owned_link_context.h"
#include "fuzz/command_replies/session_operations.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace corvel;
    fuzz::InputCursor input(ByteSpan(data, size));
    fuzz::ReplayPorts ports(input);
    OwnedLinkContext link;
    DeviceSession session(link.with(ports));
    fuzz::RunOperations(session, input);
    return 0;
}
