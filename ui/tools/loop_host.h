#pragma once
// What a tool window's model needs of the window around it while it runs a
// live loop: showing its values, and running the window's pending events
// between two exchanges (so that Stop, Close and the other buttons are
// handled there, never during an exchange).

namespace corvel {

class LoopHost {
public:
    virtual ~LoopHost() = default;
    // Shows the model's values at once.
    virtual void showValues() = 0;
    // Runs the handlers of the window's pending events.
    virtual void processEvents() = 0;
};

}  // namespace corvel
