#pragma once
// Serial ports are numbered 1 to 100. The open name is "COM1".."COM9" and the
// device-namespace form "\\.\COM10".."\\.\COM100"; the name shown to the
// operator is always "COM" and the number.

#include <string>
#include <string_view>

namespace corvel {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 100;

std::string PortOpenName(int number);
std::string PortDisplayName(int number);

// The number of an open name: the plain form counts for 1..9, the
// device-namespace form for 10..100; any other text returns `unchanged`.
int PortNumberFromOpenName(std::string_view name, int unchanged);

// The display name of an open name ("\\.\COM12" shows as "COM12"); a name
// that is not an open name is returned as it is.
std::string PortDisplayNameOf(std::string_view openName);

}  // namespace corvel
