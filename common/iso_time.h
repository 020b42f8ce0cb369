#pragma once
// Times as ISO 8601 texts, the same whatever the locale or time zone.

#include <chrono>
#include <string>

namespace corvel {

// "2026-12-08T15:47:13.250Z": the time in UTC, to the millisecond.
std::string IsoUtcTime(std::chrono::system_clock::time_point time);

}  // namespace corvel
