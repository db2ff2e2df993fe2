// A driver of the terminal that the host does not have ("HCD1:" and the like), reached through
// its stand-in on a named pipe. The connection lives as long as the handle.
#pragma once

#include "device.h"

#include "ce/unique_handle.h"

namespace ce::devices {

class DriverLink final : public Device {
public:
    explicit DriverLink(UniqueHandle connection) : connection_(std::move(connection)) {}

    BOOL IoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                   DWORD* returned) override;

private:
    UniqueHandle connection_;
};

} // namespace ce::devices
