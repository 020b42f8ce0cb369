#pragma once
// The points of the live trend plot: a ring buffer of timed readings (P1, P2
// when present, temperature) in which appending is constant time and the
// oldest points give way, and the decimation that draws at most two points
// (the lowest and the highest) per pixel column.

#include <cstddef>
#include <optional>
#include <vector>

namespace corvel {

struct TrendPoint {
    double seconds = 0.0;  // since the plot started
    float p1 = 0.0f;
    std::optional<float> p2;
    float temperature = 0.0f;
};

enum class TrendQuantity { P1, P2, Temperature };

struct PlotPoint {
    double seconds = 0.0;
    double value = 0.0;
};

class TrendBuffer {
public:
    explicit TrendBuffer(std::size_t capacity);

    void append(const TrendPoint& point);
    void clear();
    std::size_t size() const { return size_; }
    // Point `index` counted from the oldest kept.
    const TrendPoint& at(std::size_t index) const { return points_[(first_ + index) % points_.size()]; }

    // The points of one quantity from `fromSeconds` on, reduced to at most
    // two a column: the window from `fromSeconds` to `toSeconds` is cut into
    // `columns` equal columns and each keeps its lowest and highest value, in
    // the order they came.
    std::vector<PlotPoint> decimated(TrendQuantity quantity, double fromSeconds, double toSeconds,
                                     std::size_t columns) const;

private:
    std::vector<TrendPoint> points_;
    std::size_t first_ = 0;
    std::size_t size_ = 0;
};

}  // namespace corvel
