#pragma once
// The start-up steps that restore the communication settings from the store,
// before the main window opens.

#include "app/comm_settings.h"
#include "app/stored_settings.h"

namespace corvel {

// Reads `Port` (default "COM1") into the port name and `BaudRate` (default
// "115200") into the baud text and baud rate, and AcceptDamagedReplies ("1"
// lets damaged replies through; absent means "0").
void RestoreCommSettings(CommSettings& comm, const StoredSettings& store);

}  // namespace corvel
