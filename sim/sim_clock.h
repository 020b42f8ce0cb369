#pragma once
// The simulator's time: a simulated clock that only moves when told (tests
// never wait), or the steady clock of the machine (the pseudo-terminal server).

#include <chrono>

namespace corvel::sim {

using Micros = std::chrono::microseconds;

class Clock {
public:
    virtual ~Clock() = default;
    virtual Micros now() const = 0;
    double seconds() const { return std::chrono::duration<double>(now()).count(); }
};

class SimulatedClock : public Clock {
public:
    Micros now() const override { return now_; }
    void advance(Micros by) { now_ += by; }
    void advanceTo(Micros to) {
        if (to > now_) now_ = to;
    }

private:
    Micros now_{0};
};

class SteadyClock : public Clock {
public:
    Micros now() const override {
        return std::chrono::duration_cast<Micros>(std::chrono::steady_clock::now() - start_);
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace corvel::sim
