#include "link/exchange_log.h"

namespace corvel {

void ExchangeLog::exchanged(ExchangeRecord record) {
    ++counters_.exchanges;
    if (!record.timedOut()) ++counters_.replies;
    if (record.timedOut()) ++counters_.timeOuts;
    if (record.damaged()) ++counters_.damagedReplies;
    if (record.repeat > 0) ++counters_.automaticRepeats;
    if (capacity_ == 0) return;
    if (records_.size() == capacity_) records_.pop_front();
    records_.push_back(std::move(record));
    ++end_;
}

void ExchangeLog::clear() {
    records_.clear();
    counters_ = {};
}

const ExchangeRecord* ExchangeLog::find(std::uint64_t sequence) const {
    if (sequence < firstSequence() || sequence >= end_) return nullptr;
    return &records_[static_cast<std::size_t>(sequence - firstSequence())];
}

}  // namespace corvel
