#include "driver_link.h"

#include "ce/hostlink_client.h"

namespace ce::devices {

BOOL DriverLink::IoControl(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                           DWORD* returned) {
    hostlink::Reply reply{};
    DWORD error = hostlink::TransactOn(
        connection_.get(), hostlink::DescribeCall(code, in, inSize, outSize, returned), reply);
    if (error != ERROR_SUCCESS)
        return Refuse(error);
    return hostlink::CompleteCall(reply, out, outSize, returned);
}

} // namespace ce::devices
