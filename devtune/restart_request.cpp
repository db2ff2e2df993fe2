#include "restart_request.h"

#include "ce/kernel.h"

namespace devtune {

void RequestRestart(UsbMode mode) {
    DWORD argument = kCardReaderRestartArgument;
    void* in = mode == CardReader ? &argument : nullptr;
    // The device is expected to go down here; if the request returns, the sheet simply closes.
    (void)ce::KernelIoControl(IOCTL_HAL_REBOOT, in, 0, nullptr, 0, nullptr);
}

} // namespace devtune
