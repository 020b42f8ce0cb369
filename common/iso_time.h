#pragma once
// Times as ISO 8601 texts, the same whatever the locale or time zone.

#include <chrono>
#include <string>

namespace corvel {

enum class IsoPrecision { Seconds, Milliseconds };

// "2026-12-08T15:47:13.250Z": the time in UTC, to the millisecond, or
// "2026-12-08T15:47:13Z" to the second.
std::string IsoUtcTime(std::chrono::system_clock::time_point time,
                       IsoPrecision precision = IsoPrecision::Milliseconds);

}  // namespace corvel
