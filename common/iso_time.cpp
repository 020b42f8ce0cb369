#include "common/iso_time.h"

#include <cstdio>

namespace corvel {

std::string IsoUtcTime(std::chrono::system_clock::time_point time, IsoPrecision precision) {
    using namespace std::chrono;
    const auto milliseconds = floor<std::chrono::milliseconds>(time);
    const auto day = floor<days>(milliseconds);
    const year_month_day date{day};
    const hh_mm_ss clock{milliseconds - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    std::string iso = text;
    if (precision == IsoPrecision::Milliseconds) {
        std::snprintf(text, sizeof text, ".%03d", static_cast<int>(clock.subseconds().count()));
        iso += text;
    }
    return iso + "Z";
}

}  // namespace corvel
