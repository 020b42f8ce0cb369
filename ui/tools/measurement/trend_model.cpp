#include "ui/tools/measurement/trend_model.h"

#include <algorithm>
#include <cmath>

namespace corvel {
namespace {

// Readings further apart than this (and than three sampling intervals or three
// of the loop's own periods) have a gap between them.
constexpr double kShortestGapSeconds = 1.0;
// Tolerance of the sampling interval, so that readings that come exactly
// at the interval are all kept.
constexpr double kSamplingSlack = 1e-3;
// Room around a line within its lane, a share of the line's span on each side.
constexpr double kLaneRoom = 0.1;
// Without a sensor range, the pressure axis spans at least this share of the
// largest value, and never less than kLeastPressureSpan.
constexpr double kLeastPressureSpan = 0.01;

// The next "nice" step (1, 2 or 5 times a power of ten) at or above `raw`.
double NiceStep(double raw) {
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (factor * power >= raw * (1.0 - 1e-9)) return factor * power;
    }
    return 10.0 * power;
}

int DecimalsFor(double step) { return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6); }

}  // namespace

TrendModel::TrendModel(std::size_t capacity) : buffer_(capacity) {
    for (auto& names : units_) names.emplace_back();
}

void TrendModel::setSamplingInterval(double seconds) { interval_ = std::max(seconds, 0.0); }

void TrendModel::setUnit(TrendQuantity quantity, const std::string& unit) {
    auto& names = units_[IndexOf(quantity)];
    if (names.back() == unit) return;
    if (names.size() == 1 && buffer_.size() == 0) names.back() = unit;
    else names.push_back(unit);
}

void TrendModel::setSensorRange(TrendQuantity quantity, double span, const std::string& unit) {
    if (std::isfinite(span) && span > 0.0) sensorRange_[IndexOf(quantity)] = std::pair{span, unit};
}

void TrendModel::setShown(TrendQuantity quantity, bool shown) { shown_[IndexOf(quantity)] = shown; }

std::uint16_t TrendModel::presentUnit(TrendQuantity quantity) const {
    return static_cast<std::uint16_t>(units_[IndexOf(quantity)].size() - 1);
}

const std::string& TrendModel::unitName(TrendQuantity quantity, std::uint16_t unit) const {
    const auto& names = units_[IndexOf(quantity)];
    return names[std::min<std::size_t>(unit, names.size() - 1)];
}

bool TrendModel::gapSince(double seconds) const {
    if (!lastOffered_) return true;
    const double allowed = std::max({kShortestGapSeconds, 3.0 * interval_, 3.0 * lastPeriod_});
    return seconds - *lastOffered_ > allowed;
}

bool TrendModel::offer(double seconds, const TrendReading& reading) {
    if (lastOffered_ && seconds < *lastOffered_) return false;  // the points stay in time order
    if (gapSince(seconds)) gapPending_ = true;
    if (lastOffered_) lastPeriod_ = seconds - *lastOffered_;
    lastOffered_ = seconds;
    if (!gapPending_ && lastKept_ && seconds - *lastKept_ < interval_ - kSamplingSlack) return false;
    TrendPoint point{seconds, reading.p1, reading.p2, reading.temperature, gapPending_, {}};
    for (const TrendQuantity quantity : kAllTrendQuantities) point.unit[IndexOf(quantity)] = presentUnit(quantity);
    buffer_.append(point);
    gapPending_ = false;
    lastKept_ = seconds;
    return true;
}

void TrendModel::clear() {
    buffer_.clear();
    gapPending_ = true;
    lastKept_.reset();
    lastOffered_.reset();
}

std::optional<std::pair<double, double>> TrendModel::timeWindow(double windowSeconds) const {
    if (buffer_.size() == 0) return std::nullopt;
    const double oldest = buffer_.at(0).seconds;
    const double newest = buffer_.at(buffer_.size() - 1).seconds;
    if (newest - oldest < windowSeconds) return std::pair{oldest, oldest + windowSeconds};
    return std::pair{newest - windowSeconds, newest};
}

std::vector<PlotLine> TrendModel::lines(TrendQuantity quantity, std::pair<double, double> window,
                                        std::size_t columns) const {
    return buffer_.decimated(quantity, presentUnit(quantity), window.first, window.second, columns);
}

std::optional<TrendModel::Extent> TrendModel::extentOf(TrendQuantity quantity,
                                                       std::pair<double, double> window) const {
    if (!shown(quantity)) return std::nullopt;
    std::optional<Extent> extent;
    const std::uint16_t unit = presentUnit(quantity);
    for (std::size_t i = buffer_.firstFrom(window.first); i < buffer_.size(); ++i) {
        const TrendPoint& point = buffer_.at(i);
        const std::optional<double> value = ValueOf(point, quantity);
        if (!value || point.unit[IndexOf(quantity)] != unit || !std::isfinite(*value)) continue;
        if (!extent) extent = Extent{*value, *value};
        extent->low = std::min(extent->low, *value);
        extent->high = std::max(extent->high, *value);
    }
    return extent;
}

double TrendModel::minimumSpan(TrendQuantity quantity, const Extent& extent) const {
    if (quantity == TrendQuantity::Temperature) return kTemperatureMinimumSpan;
    const auto& range = sensorRange_[IndexOf(quantity)];
    if (range && range->second == units_[IndexOf(quantity)].back()) return range->first * kPressureMinimumShare;
    const double largest = std::max(std::abs(extent.low), std::abs(extent.high));
    return std::max(largest * kPressureMinimumShare, kLeastPressureSpan);
}

bool TrendModel::pressuresShareAxis(const Extent& p1, const Extent& p2) const {
    if (units_[IndexOf(TrendQuantity::P1)].back() != units_[IndexOf(TrendQuantity::P2)].back()) return false;
    const double own = std::max({p1.high - p1.low, minimumSpan(TrendQuantity::P1, p1), p2.high - p2.low,
                                 minimumSpan(TrendQuantity::P2, p2)});
    const double together = std::max(p1.high, p2.high) - std::min(p1.low, p2.low);
    return together <= 2.0 * own;
}

std::vector<TrendAxis> TrendModel::axes(std::pair<double, double> window) const {
    std::array<std::optional<Extent>, kTrendQuantities> extents;
    for (const TrendQuantity quantity : kAllTrendQuantities) extents[IndexOf(quantity)] = extentOf(quantity, window);
    const auto& p1 = extents[IndexOf(TrendQuantity::P1)];
    const auto& p2 = extents[IndexOf(TrendQuantity::P2)];
    std::vector<std::vector<TrendQuantity>> groups;
    if (p1 && p2 && pressuresShareAxis(*p1, *p2)) {
        groups.push_back({TrendQuantity::P1, TrendQuantity::P2});
    } else {
        if (p1) groups.push_back({TrendQuantity::P1});
        if (p2) groups.push_back({TrendQuantity::P2});
    }
    if (extents[IndexOf(TrendQuantity::Temperature)]) groups.push_back({TrendQuantity::Temperature});

    std::vector<TrendAxis> axes;
    const auto lanes = static_cast<double>(groups.size());
    for (std::size_t lane = 0; lane < groups.size(); ++lane) {
        TrendAxis axis{groups[lane], groups[lane].front() == TrendQuantity::Temperature,
                       units_[IndexOf(groups[lane].front())].back()};
        Extent all = *extents[IndexOf(groups[lane].front())];
        double span = 0.0;
        for (const TrendQuantity quantity : groups[lane]) {
            const Extent& own = *extents[IndexOf(quantity)];
            all = Extent{std::min(all.low, own.low), std::max(all.high, own.high)};
            span = std::max(span, minimumSpan(quantity, own));
        }
        span = std::max(span, all.high - all.low);
        // This quantity's lane: the line with room around it; lane 0 is at the top.
        const double laneHeight = span * (1.0 + 2.0 * kLaneRoom);
        const double laneLow = (all.low + all.high) / 2.0 - laneHeight / 2.0;
        axis.high = laneLow + laneHeight * (static_cast<double>(lane) + 1.0);
        axis.low = axis.high - laneHeight * lanes;
        axis.tickStep = NiceStep(laneHeight / 2.0);
        axis.decimals = DecimalsFor(axis.tickStep);
        axes.push_back(std::move(axis));
    }
    return axes;
}

}  // namespace corvel
