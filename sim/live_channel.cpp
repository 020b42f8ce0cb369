#include "sim/live_channel.h"

#include <algorithm>

namespace corvel::sim {

LiveChannel::LiveChannel(ChannelBehaviour behaviour, std::uint64_t seed)
    : behaviour_(behaviour), randomState_(seed) {}

// splitmix64, mapped to [-1, 1): the same sequence on every platform.
double LiveChannel::nextUnitNoise() {
    std::uint64_t z = (randomState_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ull << 52) - 1.0;
}

float LiveChannel::sample(double seconds) {
    const double raw = behaviour_.value + behaviour_.driftPerSecond * seconds + behaviour_.noise * nextUnitNoise();
    lastRaw_ = static_cast<float>(raw);
    last_ = calibration_.gain * lastRaw_ + calibration_.offset;
    minimum_ = tracking_ ? std::min(minimum_, last_) : last_;
    maximum_ = tracking_ ? std::max(maximum_, last_) : last_;
    tracking_ = true;
    return last_;
}

}  // namespace corvel::sim
