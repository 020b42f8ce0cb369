#include "ui/tools/measurement/trend_buffer.h"

#include <algorithm>

namespace corvel {
namespace {

// The lowest and highest point of one column, in the order they came.
struct Column {
    std::optional<PlotPoint> low;
    std::optional<PlotPoint> high;

    void add(const PlotPoint& point) {
        if (!low || point.value < low->value) low = point;
        if (!high || point.value > high->value) high = point;
    }
    void flushInto(PlotLine& out) {
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

// Collects the columns of one quantity into lines.
class LineCollector {
public:
    explicit LineCollector(std::vector<PlotLine>& lines) : lines_(lines) {}

    void add(std::size_t column, const PlotPoint& point) {
        if (column != current_) {
            column_.flushInto(lines_.back());
            current_ = column;
        }
        column_.add(point);
    }
    void breakLine() {
        column_.flushInto(lines_.back());
        if (!lines_.back().empty()) lines_.emplace_back();
    }
    void finish() {
        column_.flushInto(lines_.back());
        if (lines_.back().empty()) lines_.pop_back();
    }

private:
    std::vector<PlotLine>& lines_;
    Column column_;
    std::size_t current_ = 0;
};

}  // namespace

std::optional<double> ValueOf(const TrendPoint& point, TrendQuantity quantity) {
    switch (quantity) {
        case TrendQuantity::P1: return point.p1;
        case TrendQuantity::P2: return point.p2 ? std::optional<double>(*point.p2) : std::nullopt;
        case TrendQuantity::Temperature: return point.temperature;
    }
    return std::nullopt;
}

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

std::size_t TrendBuffer::firstFrom(double seconds) const {
    // The points come in time order: skip the older ones by halving.
    std::size_t begin = 0;
    for (std::size_t end = size_; begin < end;) {
        const std::size_t middle = begin + (end - begin) / 2;
        if (at(middle).seconds < seconds) begin = middle + 1;
        else end = middle;
    }
    return begin;
}

std::vector<PlotLine> TrendBuffer::decimated(TrendQuantity quantity, std::uint16_t unit, double fromSeconds,
                                             double toSeconds, std::size_t columns) const {
    std::vector<PlotLine> lines;
    if (columns == 0 || toSeconds <= fromSeconds) return lines;
    const double columnWidth = (toSeconds - fromSeconds) / static_cast<double>(columns);
    lines.emplace_back();
    LineCollector collector(lines);
    for (std::size_t i = firstFrom(fromSeconds); i < size_; ++i) {
        const TrendPoint& point = at(i);
        const std::optional<double> value = ValueOf(point, quantity);
        if (point.afterGap || !value || point.unit[IndexOf(quantity)] != unit) collector.breakLine();
        if (!value || point.unit[IndexOf(quantity)] != unit) continue;
        const auto column =
            std::min(static_cast<std::size_t>((point.seconds - fromSeconds) / columnWidth), columns - 1);
        collector.add(column, PlotPoint{point.seconds, *value});
    }
    collector.finish();
    return lines;
}

}  // namespace corvel
