#include "sim/recalibration.h"

#include <algorithm>
#include <cmath>

namespace corvel::sim {
namespace {
constexpr float kWindowFraction = 0.1f;  // a point accepts +-10 % of the span around its set point
constexpr std::uint8_t kSaveMarker = 0x02;
}  // namespace

RecalReply Recalibration::replyFor(std::uint8_t point, float reading) const {
    RecalReply reply;
    reply.context1 = procedure_;
    reply.context2 = static_cast<std::uint8_t>(savedCount());
    reply.currentPoint = point;
    reply.pointCount = setup_.pointCount;
    const int steps = setup_.pointCount > 1 ? setup_.pointCount - 1 : 1;
    reply.apply = setup_.lowerLimit + span() * static_cast<float>(point - 1) / static_cast<float>(steps);
    reply.minimum = reply.apply - span() * kWindowFraction;
    reply.maximum = reply.apply + span() * kWindowFraction;
    reply.reading = reading;
    return reply;
}

RecalReply Recalibration::rejection(std::uint8_t status, float reading) const {
    RecalReply reply = replyFor(current_ == 0 ? 1 : current_, reading);
    reply.status = status;
    return reply;
}

RecalReply Recalibration::start(float reading) {
    if (!setup_.allowed || setup_.pointCount == 0) return rejection(kRecalNotAllowed, reading);
    running_ = true;
    ++procedure_;
    current_ = 1;
    saved_.assign(setup_.pointCount, std::nullopt);
    return replyFor(current_, reading);
}

RecalReply Recalibration::readPoint(std::uint8_t point, std::uint8_t count, float reading) {
    if (!running_) return rejection(kRecalOutOfSequence, reading);
    if (count != setup_.pointCount) return rejection(kRecalScriptError, reading);
    if (point < 1 || point > setup_.pointCount) return rejection(kRecalPointError, reading);
    current_ = point;
    return replyFor(current_, reading);
}

RecalReply Recalibration::savePoint(std::uint8_t point, std::uint8_t marker, float applied, float rawReading,
                                    float reading) {
    if (!running_) return rejection(kRecalOutOfSequence, reading);
    if (marker != kSaveMarker) return rejection(kRecalScriptError, reading);
    if (point != current_ || current_ > saved_.size()) return rejection(kRecalPointError, reading);
    const float limitSlack = span() * kWindowFraction;
    if (!std::isfinite(applied) || applied < setup_.lowerLimit - limitSlack || applied > setup_.upperLimit + limitSlack)
        return rejection(kRecalPointBeyondLimit, reading);
    const RecalReply window = replyFor(point, reading);
    if (applied < window.minimum || applied > window.maximum) return rejection(kRecalPointOutOfRange, reading);
    saved_[current_ - 1] = SavedPoint{rawReading, applied};
    if (current_ < setup_.pointCount) ++current_;
    return replyFor(current_, reading);
}

RecalReply Recalibration::finish(std::uint8_t argument1, std::uint8_t argument2, std::optional<Calibration>& fitted) {
    const float noReading = 0.0f;
    if (!running_) return rejection(kRecalOutOfSequence, noReading);
    if (argument1 != 1 || argument2 != 1) return rejection(kRecalScriptError, noReading);
    if (savedCount() < setup_.pointCount) return rejection(kRecalOutOfSequence, noReading);
    fitted = fit();
    running_ = false;
    return replyFor(current_, noReading);
}

std::size_t Recalibration::savedCount() const {
    return static_cast<std::size_t>(std::count_if(saved_.begin(), saved_.end(), [](const auto& p) { return p.has_value(); }));
}

// Least-squares line through (raw, applied); with a single point or raw values
// that do not spread, only the offset moves.
Calibration Recalibration::fit() const {
    double sumRaw = 0, sumApplied = 0, sumRawRaw = 0, sumRawApplied = 0;
    double n = 0;
    for (const auto& saved : saved_) {
        if (!saved) continue;
        const SavedPoint& p = *saved;
        n += 1;
        sumRaw += p.raw;
        sumApplied += p.applied;
        sumRawRaw += double(p.raw) * p.raw;
        sumRawApplied += double(p.raw) * p.applied;
    }
    if (n == 0) return {};
    const double spread = n * sumRawRaw - sumRaw * sumRaw;
    if (n < 2 || std::abs(spread) < 1e-9) return {1.0f, static_cast<float>((sumApplied - sumRaw) / n)};
    const double gain = (n * sumRawApplied - sumRaw * sumApplied) / spread;
    return {static_cast<float>(gain), static_cast<float>((sumApplied - gain * sumRaw) / n)};
}

}  // namespace corvel::sim
