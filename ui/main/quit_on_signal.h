#pragma once
// Ends the program in an orderly way on SIGTERM, SIGINT and SIGHUP: the
// signal is passed through a pipe to the event loop, which quits every event
// loop (the main window's included), so that destructors run and the demo
// simulator is stopped and its folder removed.

namespace corvel {

// Call once, after the QApplication exists.
void QuitOnTerminationSignals();

}  // namespace corvel
