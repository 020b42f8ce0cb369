#pragma once
// The bus monitor's store: the most recent exchanges (100,000 unless told
// otherwise), each under a sequence number that never repeats, and counters
// over every exchange since the last clear, also those that have dropped out.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "link/exchange_record.h"

namespace corvel {

struct ExchangeCounters {
    std::uint64_t exchanges = 0;
    std::uint64_t replies = 0;
    std::uint64_t timeOuts = 0;
    std::uint64_t damagedReplies = 0;
    std::uint64_t automaticRepeats = 0;
};

class ExchangeLog final : public ExchangeObserver {
public:
    static constexpr std::size_t kDefaultCapacity = 100000;
    explicit ExchangeLog(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

    void exchanged(ExchangeRecord record) override;
    // Forgets every exchange and zeroes the counters; sequence numbers go on.
    void clear();

    const ExchangeCounters& counters() const { return counters_; }
    // Sequence numbers of the exchanges kept: [firstSequence, endSequence).
    std::uint64_t firstSequence() const { return end_ - records_.size(); }
    std::uint64_t endSequence() const { return end_; }
    // The exchange under `sequence`, or nullptr when it has dropped out or was cleared.
    const ExchangeRecord* find(std::uint64_t sequence) const;

private:
    std::size_t capacity_;
    std::deque<ExchangeRecord> records_;
    std::uint64_t end_ = 0;
    ExchangeCounters counters_;
};

}  // namespace corvel
