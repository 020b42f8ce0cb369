#pragma once
// The transmitter's multi-point field recalibration of one pressure input.
// Start proposes point 1; each point has a pressure to apply and a window the
// applied value must fall in; a saved point moves on to the next; finish, once
// every point is saved, fits gain and offset through the saved points.
//
// Rejections (the reply status, also carried as the channel status):
//   0x40 not allowed      0x42 applied value outside the point's window
//   0x43 applied value beyond the sensor limits
//   0x44 request parameters not those of the procedure (point count, the
//        save marker 0x02, the finish arguments 1, 1)
//   0x45 point number not the current one (save) or not 1..count (read)
//   0x46 out of sequence: no recalibration running, or finish before all
//        points are saved
// The two context bytes are the device's: a procedure number and the count
// of points saved. They are returned with every reply and not checked.

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/live_channel.h"

namespace corvel::sim {

inline constexpr std::uint8_t kRecalNotAllowed = 0x40;
inline constexpr std::uint8_t kRecalTooFarFromZero = 0x41;
inline constexpr std::uint8_t kRecalPointOutOfRange = 0x42;
inline constexpr std::uint8_t kRecalPointBeyondLimit = 0x43;
inline constexpr std::uint8_t kRecalScriptError = 0x44;
inline constexpr std::uint8_t kRecalPointError = 0x45;
inline constexpr std::uint8_t kRecalOutOfSequence = 0x46;

struct RecalReply {
    std::uint8_t status = 0;
    std::uint8_t context1 = 0;
    std::uint8_t context2 = 0;
    std::uint8_t currentPoint = 0;
    std::uint8_t pointCount = 0;
    float apply = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float reading = 0.0f;  // the fourth value: the live reading
};

struct RecalSetup {
    float lowerLimit = 0.0f;
    float upperLimit = 100.0f;
    std::uint8_t pointCount = 3;
    bool allowed = true;
};

class Recalibration {
public:
    explicit Recalibration(RecalSetup setup) : setup_(setup) {}

    RecalReply start(float reading);
    RecalReply readPoint(std::uint8_t point, std::uint8_t count, float reading);
    RecalReply savePoint(std::uint8_t point, std::uint8_t marker, float applied, float rawReading, float reading);
    // On success `fitted` receives the new calibration.
    RecalReply finish(std::uint8_t argument1, std::uint8_t argument2, std::optional<Calibration>& fitted);

    bool running() const { return running_; }
    RecalSetup& setup() { return setup_; }

private:
    struct SavedPoint {
        float raw;
        float applied;
    };

    RecalReply replyFor(std::uint8_t point, float reading) const;
    RecalReply rejection(std::uint8_t status, float reading) const;
    float span() const { return setup_.upperLimit - setup_.lowerLimit; }
    Calibration fit() const;
    std::size_t savedCount() const;

    RecalSetup setup_;
    bool running_ = false;
    std::uint8_t procedure_ = 0;
    std::uint8_t current_ = 0;
    std::vector<std::optional<SavedPoint>> saved_;  // one slot per point
};

}  // namespace corvel::sim
