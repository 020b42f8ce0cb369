#include "link/reading_status.h"

namespace corvel {

ReadingStatus ReadingStatusOf(int code, bool p1InReadingLoop) {
    switch (code) {
    case 0: return {"OK", StatusField::NormalBoth, false, false};
    case 16:
    case 17: return {"Pres over range", StatusField::Channel, true, false};
    case 18: return {"Temp over range", StatusField::Temperature, false, true};
    case 19:
        return {p1InReadingLoop ? "Temp over range" : "Temp Overrange", StatusField::Temperature, false, true};
    case 20: return {"Cal expired", StatusField::Unchanged, false, false};
    case 32: return {"Pres soft over range", StatusField::Channel, false, false};
    case 33: return {"Pres hard over range", StatusField::Channel, true, false};
    case 34: return {"Temp soft over range", StatusField::Temperature, false, false};
    case 35: return {"Temp hard over range", StatusField::Temperature, false, true};
    default: return {};
    }
}

const char* ZeroResultText(int code) {
    switch (code) {
    case 64: return "Recal not allowed         ";
    case 65: return "Too far from zero         ";
    case 66: return "Point out of range        ";
    case 67: return "Point beyond limit         ";
    case 68: return "Recal script error         ";
    case 69: return "Recal point error          ";
    case 70: return "Recal command out of sequence       ";
    default: return nullptr;
    }
}

const char* RecalPointStatusText(int code) {
    switch (code) {
    case 16: return "M too low";
    case 17: return "M too high";
    case 18: return "N too low";
    case 19: return "N too high";
    case 20: return "Cal expired";
    case 64: return "Recal not allowed";
    case 65: return "Too far from zero";
    case 66: return "Point out of range";
    case 67: return "Point beyond limit";
    case 68: return "Recal script error";
    case 69: return "Recal point error";
    case 70: return "Recal command out of sequence";
    default: return nullptr;
    }
}

RecalReadingStatus RecalReadingStatusOf(int code) {
    switch (code) {
    case 0: return {"", false};
    case 16: return {"Cell M too low", true};
    case 17: return {"Cell M too high", true};
    case 18: return {"Cell N too low", true};
    case 19: return {"Cell N too high", true};
    case 32: return {"Meas soft over range", true};
    case 33: return {"Meas hard over range", true};
    case 34: return {"Temp soft over range", true};
    case 35: return {"Temp hard over range", true};
    default: return {};  // 20 (calibration expired) is told in a box
    }
}

}  // namespace corvel
