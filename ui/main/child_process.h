#pragma once
// A helper program started by the utility (the demo simulator) must not
// outlive it, even when the utility is killed outright. One file per platform.

class QProcess;

namespace corvel {

// Call before process.start().
void EndWithThisProgram(QProcess& process);

}  // namespace corvel
