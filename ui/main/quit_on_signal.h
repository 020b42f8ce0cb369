#pragma once
// Ends the program in an orderly way when the system asks it to stop (SIGTERM,
// SIGINT and SIGHUP on POSIX systems, console Ctrl-C, Ctrl-Break and close on
// Windows): the request is passed to the event loop, which quits every event
// loop (the main window's included), so that destructors run and the demo
// simulator is stopped and its folder removed. One file per platform.

namespace corvel {

// Call once, after the QApplication exists.
void QuitOnTerminationSignals();

}  // namespace corvel
