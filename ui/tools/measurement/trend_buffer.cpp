#include "ui/tools/measurement/trend_buffer.h"

#include <algorithm>

namespace corvel {
namespace {

std::optional<double> ValueOf(const TrendPoint& point, TrendQuantity quantity) {
    switch (quantity) {
        case TrendQuantity::P1: return point.p1;
        case TrendQuantity::P2: return point.p2 ? std::optional<double>(*point.p2) : std::nullopt;
        case TrendQuantity::Temperature: return point.temperature;
    }
    return std::nullopt;
}

// The lowest and highest point of one column, in the order they came.
struct Column {
    std::optional<PlotPoint> low;
    std::optional<PlotPoint> high;

    void add(const PlotPoint& point) {
        if (!low || point.value < low->value) low = point;
        if (!high || point.value > high->value) high = point;
    }
    void flushInto(std::vector<PlotPoint>& out) {
        if (!low) return;
        if (low->seconds <= high->seconds) {
            out.push_back(*low);
            if (high->seconds != low->seconds || high->value != low->value) out.push_back(*high);
        } else {
            out.push_back(*high);
            out.push_back(*low);
        }
        low.reset();
        high.reset();
    }
};

}  // namespace

TrendBuffer::TrendBuffer(std::size_t capacity) : points_(std::max<std::size_t>(capacity, 1)) {}

void TrendBuffer::append(const TrendPoint& point) {
    if (size_ < points_.size()) {
        points_[(first_ + size_) % points_.size()] = point;
        ++size_;
        return;
    }
    points_[first_] = point;
    first_ = (first_ + 1) % points_.size();
}

void TrendBuffer::clear() {
    first_ = 0;
    size_ = 0;
}

std::vector<PlotPoint> TrendBuffer::decimated(TrendQuantity quantity, double fromSeconds, double toSeconds,
                                              std::size_t columns) const {
    std::vector<PlotPoint> out;
    if (columns == 0 || toSeconds <= fromSeconds) return out;
    const double columnWidth = (toSeconds - fromSeconds) / static_cast<double>(columns);
    Column column;
    std::size_t current = 0;
    // The points come in time order: skip the older ones by halving.
    std::size_t begin = 0;
    for (std::size_t end = size_; begin < end;) {
        const std::size_t middle = begin + (end - begin) / 2;
        if (at(middle).seconds < fromSeconds) begin = middle + 1;
        else end = middle;
    }
    for (std::size_t i = begin; i < size_; ++i) {
        const TrendPoint& point = at(i);
        const std::optional<double> value = ValueOf(point, quantity);
        if (!value) continue;
        const auto index = std::min(static_cast<std::size_t>((point.seconds - fromSeconds) / columnWidth), columns - 1);
        if (index != current) {
            column.flushInto(out);
            current = index;
        }
        column.add(PlotPoint{point.seconds, *value});
    }
    column.flushInto(out);
    return out;
}

}  // namespace corvel
