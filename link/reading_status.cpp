#include "reading_status.h"

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

}  // namespace corvel
