#pragma once
// The points of the live trend plot: a ring buffer of timed readings (P1, P2
// when present, temperature) in which appending is constant time and the
// oldest points give way, and the decimation that draws at most two points
// (the lowest and the highest) per pixel column, line by line.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace corvel {

enum class TrendQuantity { P1, P2, Temperature };
inline constexpr std::size_t kTrendQuantities = 3;
inline constexpr std::array<TrendQuantity, kTrendQuantities> kAllTrendQuantities = {
    TrendQuantity::P1, TrendQuantity::P2, TrendQuantity::Temperature};

inline std::size_t IndexOf(TrendQuantity quantity) { return static_cast<std::size_t>(quantity); }

struct TrendPoint {
    double seconds = 0.0;  // wall-clock time, since 1970-01-01 UTC
    float p1 = 0.0f;
    std::optional<float> p2;
    float temperature = 0.0f;
    // The line breaks before this point: the readings stopped or failed.
    bool afterGap = false;
    // Per quantity, which of its units the value is in (counted from the
    // plot's start); a new unit starts a new line.
    std::array<std::uint16_t, kTrendQuantities> unit{};
};

struct PlotPoint {
    double seconds = 0.0;
    double value = 0.0;
};

// One unbroken line.
using PlotLine = std::vector<PlotPoint>;

std::optional<double> ValueOf(const TrendPoint& point, TrendQuantity quantity);

class TrendBuffer {
public:
    explicit TrendBuffer(std::size_t capacity);

    void append(const TrendPoint& point);
    void clear();
    std::size_t size() const { return size_; }
    // Point `index` counted from the oldest kept.
    const TrendPoint& at(std::size_t index) const { return points_[(first_ + index) % points_.size()]; }
    // The index of the first point at or after `seconds` (size() when none is).
    std::size_t firstFrom(double seconds) const;

    // The lines of one quantity in its unit `unit` from `fromSeconds` on,
    // reduced to at most two points a column: the window up to `toSeconds`
    // is cut into `columns` equal columns and each keeps its lowest and
    // highest value, in the order they came. A gap, a missing value or
    // another unit ends a line.
    std::vector<PlotLine> decimated(TrendQuantity quantity, std::uint16_t unit, double fromSeconds,
                                    double toSeconds, std::size_t columns) const;

private:
    std::vector<TrendPoint> points_;
    std::size_t first_ = 0;
    std::size_t size_ = 0;
};

}  // namespace corvel
