// The device's USB function mode, as stored in the registry profile and shown on the first page.
#pragma once

#include <cstdint>

namespace devtune {

// Any 32-bit value can arrive here; only these three have a profile.
enum UsbMode : std::int32_t {
    ActiveSync = 0,
    CardReader = 1,
    AllDisabled = 2,
};

} // namespace devtune
