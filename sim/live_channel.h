#pragma once
// One live input of a simulated transmitter (P1, P2 or temperature): a value
// that moves plausibly around its set point (noise and drift, deterministic for
// a given seed), a calibration applied on top, the minimum and maximum since
// the last restart, and a status code that a test can script.

#include <cstdint>

namespace corvel::sim {

struct ChannelBehaviour {
    float value = 0.0f;           // set point, base unit
    float noise = 0.0f;           // peak amplitude of the random part
    float driftPerSecond = 0.0f;  // slow movement of the set point
};

// Field calibration of a pressure input: shown = gain x raw + offset.
struct Calibration {
    float gain = 1.0f;
    float offset = 0.0f;
};

class LiveChannel {
public:
    LiveChannel(ChannelBehaviour behaviour, std::uint64_t seed);

    // Takes a reading at `seconds` on the device clock (calibrated, base unit)
    // and updates the minimum and maximum.
    float sample(double seconds);
    // The raw (uncalibrated) value of the last reading.
    float lastRaw() const { return lastRaw_; }
    float last() const { return last_; }
    float minimum() const { return minimum_; }
    float maximum() const { return maximum_; }
    // The next reading starts a new minimum and maximum.
    void restartMinMax() { tracking_ = false; }

    ChannelBehaviour& behaviour() { return behaviour_; }
    Calibration& calibration() { return calibration_; }

    std::uint8_t status = 0;

private:
    double nextUnitNoise();

    ChannelBehaviour behaviour_;
    Calibration calibration_;
    std::uint64_t randomState_;
    float lastRaw_ = 0.0f;
    float last_ = 0.0f;
    float minimum_ = 0.0f;
    float maximum_ = 0.0f;
    bool tracking_ = false;
};

}  // namespace corvel::sim
