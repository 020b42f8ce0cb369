#pragma once
// The rules of the live trend plot, without widgets: which readings it keeps
// (one per sampling interval, whatever the pace of the reading loop), where
// its lines break (a gap in the readings, a new unit), and how its value axes
// are laid out so that every line can be read:
//
// - one axis per quantity: the pressure inputs on the left, the temperature
//   on the right; P1 and P2 share one axis only when they have the same unit
//   and values of a like size;
// - each axis spans at least a minimum (1 % of the sensor's range for a
//   pressure input, 1 degree for the temperature), so that noise stays a line;
// - each axis places its line in a lane of its own, one above the other, so
//   that the lines never paint over each other;
// - an axis is named after its quantity's present unit and shows only the
//   values in that unit.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "ui/tools/measurement/trend_buffer.h"

namespace corvel {

// One reading offered to the plot.
struct TrendReading {
    float p1 = 0.0f;
    std::optional<float> p2;
    float temperature = 0.0f;
};

// One value axis as the plot draws it.
struct TrendAxis {
    std::vector<TrendQuantity> quantities;
    bool right = false;
    std::string title;  // the present unit
    double low = 0.0;
    double high = 1.0;
    double tickStep = 1.0;  // ticks at its multiples
    int decimals = 0;       // of the tick labels

    bool operator==(const TrendAxis&) const = default;
};

class TrendModel {
public:
    static constexpr double kDefaultSamplingSeconds = 0.2;
    static constexpr float kTemperatureMinimumSpan = 1.0f;  // degree
    static constexpr double kPressureMinimumShare = 0.01;   // of the sensor's range

    explicit TrendModel(std::size_t capacity);

    void setSamplingInterval(double seconds);
    double samplingInterval() const { return interval_; }
    // The quantity's present unit; another than before starts a new line.
    void setUnit(TrendQuantity quantity, const std::string& unit);
    // The sensor's full range of a pressure input, in `unit`.
    void setSensorRange(TrendQuantity quantity, double span, const std::string& unit);
    void setShown(TrendQuantity quantity, bool shown);
    bool shown(TrendQuantity quantity) const { return shown_[IndexOf(quantity)]; }

    // A reading taken at `seconds` (wall-clock): kept when the sampling
    // interval has passed since the last one kept; true when it was.
    bool offer(double seconds, const TrendReading& reading);
    // The readings stopped or one failed: the next kept one starts a new line.
    void breakLine() { gapPending_ = true; }
    void clear();

    const TrendBuffer& points() const { return buffer_; }
    // The name of unit number `unit` of `quantity` (as in TrendPoint::unit).
    const std::string& unitName(TrendQuantity quantity, std::uint16_t unit) const;

    // The time the plot shows: the last `windowSeconds`, or from the first
    // point on while fewer have been kept. Empty when no point is kept.
    std::optional<std::pair<double, double>> timeWindow(double windowSeconds) const;
    std::vector<PlotLine> lines(TrendQuantity quantity, std::pair<double, double> window,
                                std::size_t columns) const;
    std::vector<TrendAxis> axes(std::pair<double, double> window) const;

private:
    struct Extent {
        double low = 0.0;
        double high = 0.0;
    };
    std::uint16_t presentUnit(TrendQuantity quantity) const;
    bool gapSince(double seconds) const;
    std::optional<Extent> extentOf(TrendQuantity quantity, std::pair<double, double> window) const;
    double minimumSpan(TrendQuantity quantity, const Extent& extent) const;
    bool pressuresShareAxis(const Extent& p1, const Extent& p2) const;

    TrendBuffer buffer_;
    double interval_ = kDefaultSamplingSeconds;
    std::array<std::vector<std::string>, kTrendQuantities> units_;
    std::array<std::optional<std::pair<double, std::string>>, kTrendQuantities> sensorRange_;
    std::array<bool, kTrendQuantities> shown_{true, true, true};
    bool gapPending_ = true;
    std::optional<double> lastKept_;
    std::optional<double> lastOffered_;
    double lastPeriod_ = 0.0;  // between the last two readings offered
};

}  // namespace corvel
