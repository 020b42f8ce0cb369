#pragma once
// The log files the simulated transmitter keeps, written out from what its
// settings promise, for comparing a downloaded copy byte for byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tests/datalog/log_builder.h"

namespace corvel::testing {

// The pressure log of a "log NAME SAMPLES INTERVAL" setting: start 12/07/2026
// 08:00:00, name "Simulated log", serial "SIM0001", P1 and P2 in PSI with 3
// decimals at `interval`, P1 rising from 14.7 by 0.01 and P2 falling from 100
// by 0.02 with each sample. The two channels not logged say 2 decimals.
LogBuilder SimulatedPressureLog(std::int32_t samples, std::int32_t interval);

// `bytes` followed by zeros up to a whole number of 128-byte blocks, as a
// download writes a log file.
std::vector<std::uint8_t> InWholeBlocks(std::vector<std::uint8_t> bytes);

// Success when `got` is `expected`; otherwise the sizes and the first byte
// that differs.
::testing::AssertionResult SameBytes(const std::vector<std::uint8_t>& got, const std::vector<std::uint8_t>& expected);

}  // namespace corvel::testing
