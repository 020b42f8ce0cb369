#pragma once
// What a window's model needs of the window around it in the middle of a
// sequence: showing its values at once, running the window's pending events
// between two exchanges (so that Stop, Close and the other buttons are handled
// there, never during an exchange), waiting, the wait cursor, and the progress
// of long work with the operator's Cancel. The model keeps what the window
// shows in its state(); questions and file choices go through the Prompter and
// the FileChooser of the window's context. Every part does nothing unless the
// window overrides it, so a window takes only the parts it needs.

#include <chrono>
#include <functional>
#include <string>

namespace corvel {

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Shows the model's state at once.
    virtual void showValues() {}
    // Runs the handlers of the window's pending events.
    virtual void processEvents() {}
    // Waits `duration`. A responsive wait processes events meanwhile and ends
    // early once `stop` says so; without `stop` the wait blocks.
    virtual void wait(std::chrono::milliseconds /*duration*/, const std::function<bool()>& /*stop*/) {}
    virtual void setWaitCursor(bool /*on*/) {}
    // Long work the operator may cancel: its progress display from start to
    // stop, the progress made (0 to 100, and a line of text) and whether the
    // operator cancelled it.
    virtual void startProgress() {}
    virtual void showProgress(int /*percent*/, const std::string& /*text*/) {}
    virtual void stopProgress() {}
    virtual bool progressCancelled() const { return false; }
};

}  // namespace corvel
