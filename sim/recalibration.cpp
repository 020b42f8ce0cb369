#include "recalibration.h"

#include <cmath>

namespace corvel::sim {
namespace {
constexpr float kWindowFraction = 0.1f;  // a point accepts +-10 % of the span around its set point
constexpr std::uint8_t kSaveMarker = 0x02;
}  // namespace

RecalReply Recalibration::replyFor(std::uint8_t point, float reading) const {
    RecalReply reply;
    reply.context1 = procedure_;
    reply.context2 = static_cast<std::uint8_t>(saved_.size());
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
    saved_.clear();
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
    if (point != current_) return rejection(kRecalPointError, reading);
    const float limitSlack = span() * kWindowFraction;
    if (!std::isfinite(applied) || applied < setup_.lowerLimit - limitSlack || applied > setup_.upperLimit + limitSlack)
        return rejection(kRecalPointBeyondLimit, reading);
    const RecalReply window = replyFor(point, reading);
    if (applied < window.minimum || applied > window.maximum) return rejection(kRecalPointOutOfRange, reading);
    if (saved_.size() < current_) saved_.push_back({rawReading, applied});
    else saved_[current_ - 1] = {rawReading, applied};
    if (current_ < setup_.pointCount) ++current_;
    return replyFor(current_, reading);
}

RecalReply Recalibration::finish(std::uint8_t argument1, std::uint8_t argument2, std::optional<Calibration>& fitted) {
    const float noReading = 0.0f;
    if (!running_) return rejection(kRecalOutOfSequence, noReading);
    if (argument1 != 1 || argument2 != 1) return rejection(kRecalScriptError, noReading);
    if (saved_.size() < setup_.pointCount) return rejection(kRecalOutOfSequence, noReading);
    fitted = fit();
    running_ = false;
    return replyFor(current_, noReading);
}

// Least-squares line through (raw, applied); with a single point or raw values
// that do not spread, only the offset moves.
Calibration Recalibration::fit() const {
    double sumRaw = 0, sumApplied = 0, sumRawRaw = 0, sumRawApplied = 0;
    for (const SavedPoint& p : saved_) {
        sumRaw += p.raw;
        sumApplied += p.applied;
        sumRawRaw += double(p.raw) * p.raw;
        sumRawApplied += double(p.raw) * p.applied;
    }
    const double n = static_cast<double>(saved_.size());
    const double spread = n * sumRawRaw - sumRaw * sumRaw;
    if (n < 2 || std::abs(spread) < 1e-9) return {1.0f, static_cast<float>((sumApplied - sumRaw) / n)};
    const double gain = (n * sumRawApplied - sumRaw * sumApplied) / spread;
    return {static_cast<float>(gain), static_cast<float>((sumApplied - gain * sumRaw) / n)};
}

}  // namespace corvel::sim
