#include "link/shared_device_values.h"

namespace corvel {

SharedDeviceValues& TheSharedDeviceValues() {
    static SharedDeviceValues values;
    return values;
}

}  // namespace corvel
