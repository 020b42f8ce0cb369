#include "link/port_names.h"

#include "common/number_format.h"

namespace corvel {
namespace {

constexpr std::string_view kPlainPrefix = "COM";
constexpr std::string_view kNamespacePrefix = "\\\\.\\COM";

// The number after `prefix`, if the whole rest of `name` is a decimal number.
int NumberAfter(std::string_view name, std::string_view prefix) {
    if (!name.starts_with(prefix)) return 0;
    return ParseWholeText<int>(name.substr(prefix.size()), {.leadingZero = false}).value_or(0);
}

}  // namespace

std::string PortOpenName(int number) {
    const std::string digits = std::to_string(number);
    return number < 10 ? std::string(kPlainPrefix) + digits : std::string(kNamespacePrefix) + digits;
}

std::string PortDisplayName(int number) { return std::string(kPlainPrefix) + std::to_string(number); }

int PortNumberFromOpenName(std::string_view name, int unchanged) {
    const int plain = NumberAfter(name, kPlainPrefix);
    if (plain >= 1 && plain <= 9) return plain;
    const int namespaced = NumberAfter(name, kNamespacePrefix);
    if (namespaced >= 10 && namespaced <= kLastPort) return namespaced;
    return unchanged;
}

std::string PortDisplayNameOf(std::string_view openName) {
    const int number = PortNumberFromOpenName(openName, 0);
    return number ? PortDisplayName(number) : std::string(openName);
}

}  // namespace corvel
