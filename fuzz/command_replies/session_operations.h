#pragma once
// Every operation of the device link that meets a transmitter's reply, run in
// the order and with the arguments an input chooses: each operation is a
// selector byte followed by its arguments (input_cursor.h), and its exchanges
// take their replies from wherever the session's ports get them (the input
// itself in the fuzz target, the simulator in command_replies_corpus).

#include <cstddef>
#include <memory>
#include <string_view>

#include "link/device_session.h"
#include "fuzz/command_replies/input_cursor.h"
#include "link/serial_port.h"

namespace corvel::fuzz {

// Runs operations chosen by `input` until it is used up.
void RunOperations(DeviceSession& session, InputCursor& input);

// The selector byte of the operation called `name` (the name of the function
// it runs); throws std::invalid_argument for an unknown name.
std::uint8_t OperationSelector(std::string_view name);

// Ports that answer each request with the next reply of `input`, handed out
// as a transmitter would send it: each read takes bytes until its buffer is
// full, its completion test accepts them or the reply is used up (a time-out).
class ReplayPorts final : public SerialPortFactory {
public:
    explicit ReplayPorts(InputCursor& input) : input_(input) {}
    std::unique_ptr<SerialPort> create() override;

private:
    InputCursor& input_;
};

}  // namespace corvel::fuzz
