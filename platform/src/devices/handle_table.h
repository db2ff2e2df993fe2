// The open devices by handle value. Values count up and are never handed out twice, so a
// closed handle stays invalid for good.
#pragma once

#include "device.h"

#include "ce/slim_lock.h"

#include <cstdint>
#include <map>
#include <memory>

namespace ce::devices {

class HandleTable {
public:
    HANDLE Add(std::shared_ptr<Device> device);
    // The device behind `h`, kept alive for the caller's operation even if closed meanwhile.
    std::shared_ptr<Device> Find(HANDLE h);
    // Removes `h` and returns its device, or null when `h` is not open.
    std::shared_ptr<Device> Remove(HANDLE h);

    // Process-wide; never destroyed, so reader threads still running at exit find it intact.
    static HandleTable& Instance();

private:
    SlimLock lock_;
    std::map<std::uintptr_t, std::shared_ptr<Device>> devices_;
    std::uintptr_t next_ = 1;
};

} // namespace ce::devices
